#include "ui/main/mail_import.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QVBoxLayout>

#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "intake/mail_intake_service.h"
#include "mail/mail_charsets.h"
#include "ui/jobs/window_jobs.h"

namespace {

// Files and folders in one dialog: the Open button takes a selected folder (a Maildir)
// as it is instead of entering it; a double click still enters it.
class CMailFileDialog : public QFileDialog {
public:
    CMailFileDialog(QWidget* parent, const QString& folder)
        : QFileDialog(parent, QString::fromUtf8(texts::kMenuImportMailFiles), folder) {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFiles);
        setNameFilter(QString::fromUtf8(texts::kMailFileFilter));
    }
    void accept() override {
        // A folder typed into the name field and confirmed with Enter is opened, as in any
        // file dialog; the Open button still takes a folder chosen in the list.
        const auto* typed = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (typed && focusWidget() == typed && !typed->text().isEmpty()) {
            const QFileInfo folder(QDir(directory()).absoluteFilePath(typed->text()));
            if (folder.isDir()) {
                setDirectory(folder.absoluteFilePath());
                selectFile(QString());
                return;
            }
        }
        m_chosen = selectedFiles();
        QDialog::accept();
    }
    QStringList Chosen() const { return m_chosen; }

private:
    QStringList m_chosen;
};

QString Utf8Text(const char* utf8) { return QString::fromUtf8(utf8); }

// A message that names files: a name code page 932 cannot hold shows "?" where it cannot.
std::string MessageText(const std::string& utf8) {
    std::string cp932;
    Utf8ToCp932Replacing(utf8, cp932);
    return cp932;
}

std::string Numbered(const char* utf8Template, int number) {
    std::string text = utf8Template;
    text.replace(text.find("%d"), 2, std::to_string(number));
    return text;
}

// A few failures by name, then how many there were.
std::string FailureLines(const std::vector<MailPathFailure>& failures) {
    std::string lines = "\r\n" + Numbered(texts::kMailFilesFailed, static_cast<int>(failures.size()));
    for (std::size_t i = 0; i < failures.size() && i < 5; ++i)
        lines += "\r\n" + failures[i].path.filename().string() + ": " + failures[i].reason;
    return lines;
}

}  // namespace

QStringList ChooseMailFiles(QWidget* parent, const QString& folder) {
    CMailFileDialog dialog(parent, folder);
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : QStringList();
}

std::vector<int> PickUnknownSenders(const std::vector<CPenPal>& senders, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(Utf8Text(texts::kUnknownSendersTitle));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(Utf8Text(texts::kUnknownSendersPrompt)));
    auto* list = new QListWidget;
    for (const CPenPal& sender : senders) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(cp932::ToUtf8(sender.m_strHandleName + " <" + sender.m_strMailAddress + ">")), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    std::vector<int> ticked;
    if (dialog.exec() != QDialog::Accepted) return ticked;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) ticked.push_back(i);
    return ticked;
}

CMailImport::CMailImport(CYubinoApp& app, QWidget* window, CPalArchive* archive)
    : QObject(window), m_app(app), m_window(window), m_archive(archive) {
    m_poll.setInterval(50);
    connect(&m_poll, &QTimer::timeout, this, &CMailImport::Poll);
}

CMailImport::~CMailImport() {
    if (!m_reading) return;
    m_reading->Cancel();
    m_reading->Wait();
}

void CMailImport::ChooseAndTakeFiles(const QString& folder) {
    const QStringList paths = m_chooseFiles(m_window, folder);
    if (!paths.isEmpty()) TakeFiles(paths);
}

void CMailImport::TakeMessage(const QByteArray& bytes) {
    const MailReadResult read =
        ReadInternetMessage(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!read.Ok()) {
        m_app.UI().ShowMessage(Cp932Text(MailReadFailureMessage(read.status)), MessageKind::Warning);
        return;
    }
    TakeInSingleMail(m_app, m_archive, read.mail);
}

void CMailImport::TakeFiles(const QStringList& paths) {
    if (m_reader) return;  // one reading at a time; the progress dialog keeps the window busy
    std::vector<std::filesystem::path> files;
    for (const QString& path : paths) files.emplace_back(path.toStdString());
    m_intake = std::make_unique<CMailIntakeService>(m_app, m_archive,
                                                    IntakeOptions{UnknownSenderPolicy::Choose, {}, "mail-file"});
    m_first.reset();
    m_failures.clear();
    m_reader = std::make_shared<CMailReadJob>(std::move(files));
    m_reading = CWindowJobs::Of(*m_window).Start([reader = m_reader](CJobToken& token) { reader->Run(token); });
    m_progress = new QProgressDialog(Utf8Text(texts::kMailReading), Utf8Text(texts::kButtonCancel), 0, 1000, m_window);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(500);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_poll.start();
}

void CMailImport::Take(ParsedMail mail) {
    if (!m_first && !m_bTaking) {
        m_first = std::move(mail);
        return;
    }
    if (m_first) {
        m_intake->Take(*m_first);
        m_first.reset();
    }
    m_bTaking = true;
    m_intake->Take(mail);
}

void CMailImport::Poll() {
    if (m_progress->wasCanceled()) m_reading->Cancel();  // the button, Esc or closing the dialog
    const bool finished = m_reading->Finished();
    for (ParsedMail& mail : m_reader->TakeMails()) Take(std::move(mail));
    for (MailPathFailure& failure : m_reader->TakeFailures()) m_failures.push_back(std::move(failure));
    if (const std::uint64_t total = m_reader->BytesTotal())
        m_progress->setValue(static_cast<int>(std::min<std::uint64_t>(1000, m_reader->BytesRead() * 1000 / total)));
    if (finished) Finish();
}

void CMailImport::Finish() {
    m_poll.stop();
    m_reading->Wait();
    m_reading.reset();
    m_reader.reset();
    // Gone before the summary opens: a nested dialog's loop never deletes it, and shown it
    // would stay above the summary and take its keys.
    m_progress->hide();
    m_progress->deleteLater();
    m_progress = nullptr;
    if (m_first && m_failures.empty()) {
        TakeInSingleMail(m_app, m_archive, *m_first);  // one mail: the drop road
    } else {
        if (m_first) m_intake->Take(*m_first);
        // The senders the user ticks (and confirms in the pal dialog) become pals first;
        // then their mails are kept and the pals follow: one undo step.
        const std::vector<CPenPal> senders = m_intake->UnknownSenders();
        const std::vector<int> chosen = senders.empty() ? std::vector<int>{} : m_pickSenders(senders, m_window);
        ReportBatch(
            m_intake->Finish(chosen, [this](CPenPal& pal) { return m_app.UI().EditPal(pal, PalInfoMode::EditOne); }));
    }
    m_first.reset();
    m_bTaking = false;
    m_intake.reset();
    emit Finished();
}

void CMailImport::ReportBatch(const IntakeResult& result) {
    if (result.read == 0) {
        m_app.UI().ShowMessage(MessageText(texts::kMailNothingRead + FailureLines(m_failures)), MessageKind::Warning);
        return;
    }
    std::string text = texts::kMailBatchSummary;
    for (int number : {result.read, static_cast<int>(result.updatedPals.size()), result.unknownMails})
        text.replace(text.find("%d"), 2, std::to_string(number));
    for (const IntakeFailure& failure : result.failures) text += "\r\n" + failure.reason;
    if (!m_failures.empty()) text += FailureLines(m_failures);
    m_app.UI().ShowMessage(MessageText(text), MessageKind::Information);
}
