// Received mail from files, folders and drops: one Internet message goes the drop road
// (questions and the pal dialog as for a dropped mail text); more than one is a batch,
// read as a job of the window's runner behind a progress dialog, then summed up in one message
// after the list of unknown senders to add. Both go through the one intake service.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "archive/mail_record.h"
#include "core/pen_pal.h"
#include "mail/internet_mail.h"
#include "mail/mail_read_job.h"

class CMailIntakeService;
struct IntakeResult;
class CPalArchive;
class CYubinoApp;
class QProgressDialog;
class QWidget;

// Asks for the mail files and folders to read, starting in `folder`; empty when the user
// cancels.
using MailFileChooser = std::function<QStringList(QWidget* parent, const QString& folder)>;
QStringList ChooseMailFiles(QWidget* parent, const QString& folder);

// Offers the unknown senders of a batch; returns the indexes the user ticked.
using SenderPicker = std::function<std::vector<int>(const std::vector<CPenPal>& senders, QWidget* parent)>;
std::vector<int> PickUnknownSenders(const std::vector<CPenPal>& senders, QWidget* parent);

class CMailImport : public QObject {
    Q_OBJECT
public:
    CMailImport(CYubinoApp& app, QWidget* window, CPalArchive* archive = nullptr);
    ~CMailImport() override;

    void SetChooseFiles(MailFileChooser choose) { m_chooseFiles = std::move(choose); }
    void SetPickSenders(SenderPicker pick) { m_pickSenders = std::move(pick); }

    // File, "メールファイルを取り込む...", the dialog starting in `folder`.
    void ChooseAndTakeFiles(const QString& folder);
    // Files and folders dropped or chosen. Returns at once; Finished follows.
    void TakeFiles(const QStringList& paths);
    // One Internet message dropped as text or as message/rfc822 data.
    void TakeMessage(const QByteArray& bytes);

    bool IsReading() const { return m_reader != nullptr; }

signals:
    // A reading started by TakeFiles has ended, its messages and dialogs closed.
    void Finished();

private:
    void Poll();
    void Take(ParsedMail mail);
    void Finish();
    void ReportBatch(const IntakeResult& result);

    CYubinoApp& m_app;
    QWidget* m_window;
    CPalArchive* m_archive;
    MailFileChooser m_chooseFiles = ChooseMailFiles;
    SenderPicker m_pickSenders = PickUnknownSenders;
    std::shared_ptr<CMailReadJob> m_reader;
    std::shared_ptr<CJob> m_reading;
    std::unique_ptr<CMailIntakeService> m_intake;
    // The first mail waits: alone, it goes the single mail's road.
    std::optional<ParsedMail> m_first;
    bool m_bTaking = false;  // a second mail came: this is a batch
    std::vector<MailPathFailure> m_failures;
    QProgressDialog* m_progress = nullptr;
    QTimer m_poll;
};
