// The window's parts that need the libraries of later features: the mail archive (SQLite,
// ICU), the Internet mail reader (GMime), the mailbox check (libetpan, GnuTLS, the
// keyring), the analysis charts (Qt Charts, Qt SVG), the desktop's notifications (Qt
// DBus) and printing (Qt Print Support). They are built into the yubino-features module,
// which the window opens at the first use of one of them, so that start-up loads none of
// those libraries. The window reaches them only through this interface.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "archive/conversation.h"
#include "archive/mail_record.h"
#include "archive/mail_search.h"
#include "archive/reply_queue.h"
#include "core/pen_pal.h"
#include "ui/main/pal_list_print.h"

class CContactSyncController;
class CMailCheckController;
class CMailImport;
class CMainFrame;
class CPalArchive;
class CPalHistory;
class CYubinoApp;
class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

class CFeatures {
public:
    virtual ~CFeatures() = default;

    // The correspondence archive of the document in use.
    virtual CPalHistory& History() = 0;
    // Save As: the archive goes along; true when a copy was made. The copy is removed again
    // when the save failed.
    virtual bool CopyArchiveAlong(const std::filesystem::path& newDataFile) = 0;
    virtual void RemoveArchiveCopy(const std::filesystem::path& newDataFile) = 0;
    // A page of the conversation with the pal, from its newest mail or older than
    // `olderThan`; none when the archive cannot be read.
    virtual std::optional<ConversationPage> Conversation(const std::string& cp932Address, ConversationOrder order,
                                                         const std::optional<CMailArchive::MailKey>& olderThan) = 0;
    virtual ReplyQueue Queue() = 0;
    virtual std::set<std::string> PalsMatching(const std::string& utf8Query) = 0;
    // The newest `limit` mails that hold every word of the query and pass `filter`, with
    // their hits; none when the archive cannot be searched.
    virtual std::optional<MailSearchResults> SearchMails(const std::string& utf8Query, const MailSearchFilter& filter,
                                                         std::size_t limit) = 0;
    // Whether the archive can take changes; otherwise the user is told.
    virtual bool ArchiveWritable() = 0;
    // The archive's stamp of the present moment, for a step that is undone and redone.
    virtual std::string Now() = 0;
    virtual void MarkAnswered(const std::vector<std::string>& cp932Addresses, const std::string& when) = 0;
    virtual void UnmarkAnswered(const std::vector<std::string>& cp932Addresses, const std::string& when) = 0;
    virtual std::optional<CalendarDay> SnoozedUntil(const std::string& cp932Address) = 0;
    virtual bool Snooze(const std::string& cp932Address, std::optional<CalendarDay> until) = 0;
    // Hands a reply to the pal's last received mail to the user's mail program.
    virtual void WriteReply(const CPenPal& pal) = 0;
    virtual void ShowArchiveSettings() = 0;
    // Stores the user's own mail addresses in the archive; told when it cannot take them.
    virtual void StoreOwnAddresses(const std::vector<std::string>& addresses) = 0;
    virtual void ShowPalQuietDays(const std::string& cp932Address) = 0;

    // Received mail from files, folders and drops.
    virtual bool LooksLikeInternetMessage(std::string_view head) = 0;
    virtual void TakeMessage(const QByteArray& bytes) = 0;
    virtual void TakeMailFiles(const QStringList& paths) = 0;
    virtual void ChooseAndTakeMailFiles(const QString& folder) = 0;

    // The mailbox check, through the controls the window made for it.
    virtual void CheckMail() = 0;
    virtual void EditMailAccounts() = 0;
    virtual void StartTimedChecks() = 0;
    // Ends a running check or address book sync and waits for it, so that what it took in
    // is in the pals.
    virtual void StopCheck() = 0;

    // The pal list on paper, through `choose` (the print dialog when empty), and its print
    // preview (Qt Print Support).
    virtual void PrintPalList(const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent,
                              const PrinterChooser& choose) = 0;
    virtual void PreviewPalList(const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent) = 0;
    // The address book sync with the CardDAV account.
    virtual void SyncContacts() = 0;
    virtual void EditContactAccount() = 0;

    // The analysis dialog with its charts, modal.
    virtual void RunAnalysis() = 0;
    // The days to remember, told by the desktop's notifications once a day.
    virtual void NotifyDaysToRemember() = 0;

    // The parts themselves, for tests.
    virtual CPalArchive& Archive() = 0;
    virtual CMailImport& MailImport() = 0;
    virtual CMailCheckController& MailCheck() = 0;
    virtual CContactSyncController& ContactSync() = 0;
};

// The check and accounts actions of the Tools menu and the mail bar, and the check's
// progress in the status bar (hidden until a check runs), made by the window so that
// showing them loads nothing and the window keeps its layout when the features open.
struct MailCheckControls {
    QAction* check = nullptr;
    QAction* accounts = nullptr;
    QLabel* progressLabel = nullptr;
    QProgressBar* progressBar = nullptr;
    QPushButton* cancelButton = nullptr;
};

using FeaturesFactory = std::unique_ptr<CFeatures> (*)(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls);

// Programs that link the features' code (tests, helpers) give its factory; the window then
// opens no module.
void UseLinkedFeatures(FeaturesFactory factory);

// The features for `frame`, from the linked factory or the module beside the program (or in
// the installed library folder); none, with the reason in `error`, when the module cannot be
// opened.
std::unique_ptr<CFeatures> LoadFeatures(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls, QString& error);
