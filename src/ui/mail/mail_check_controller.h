// The command "メールを確認" (F5), the timed check the user may turn on, and the accounts
// dialog's command: the check of every stored account (IMAP, Maildir folder, mbox file) runs
// on a worker thread; progress and a cancel button sit in the status bar, and the window
// stays usable. Each mail is taken in on the window's thread, one at a time, before the
// next is read.
#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "intake/mail_intake_service.h"
#include "sync/mail_accounts.h"
#include "sync/mailbox_sources.h"
#include "sync/sync_state.h"
#include "ui/features/features.h"
#include "ui/mail/mail_password_store.h"

class CJob;
class CJobRunner;
class CJobToken;
struct JobEnd;
struct JobProgress;
class CYubinoApp;
class QAction;
class CPalArchive;
class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;

class CMailCheckController : public QObject {
    Q_OBJECT
public:
    using DataFileFn = std::function<std::filesystem::path()>;

    // Fetched mails go into `archive` (none: the table only) and update the pals. The
    // window made the controls and carries out the actions' commands; the check shows its
    // progress in the others and greys the check action while it runs. The check runs as
    // a job of `jobs`, which tells its progress and end on the window's thread.
    CMailCheckController(CYubinoApp& app, QMainWindow& window, CJobRunner& jobs, DataFileFn dataFile,
                         CPalArchive* archive, MailCheckControls controls);
    ~CMailCheckController() override;

    QAction* CheckAction() const { return m_checkAction; }
    QAction* AccountsAction() const { return m_accountsAction; }
    bool Running() const { return m_job != nullptr; }

    // At start-up: with timed checks turned on, the first comes at once, then one every so
    // many minutes.
    void StartTimedChecks();
    // Tests drive the timed check through its timer.
    const QTimer& Timer() const { return m_timer; }

    // Tests give their own accounts file and password question.
    void SetAccountsFile(std::filesystem::path file) { m_accountsFile = std::move(file); }
    void SetAskPassword(CMailPasswordStore::AskFn ask) { m_passwords = CMailPasswordStore(std::move(ask)); }
    // Tests give their own accounts dialog; it edits the accounts and the minutes between
    // timed checks, and says whether to keep them.
    using EditAccountsFn = std::function<bool(std::vector<MailAccount>&, int& checkEveryMinutes)>;
    void SetEditAccounts(EditAccountsFn edit) { m_editAccounts = std::move(edit); }

    // Cancels a running check and waits for it; what it took in is in the pal table after.
    void StopAndWait();

public slots:
    void Check();
    void Cancel();
    void EditAccounts();
    // The timed check's turn. None starts while a check runs or a modal dialog is open (it
    // comes back a minute later), and it asks nothing: accounts whose password is not known
    // yet wait for the next check the user starts.
    void Tick();

signals:
    // The one line the status bar shows at the end, and every error of the check.
    void Finished(const QString& summary, const QStringList& errors);

private:
    struct Job {
        MailAccount::Kind kind = MailAccount::Kind::Imap;
        QString account;
        ImapCheckOptions options;    // IMAP
        std::filesystem::path path;  // a Maildir folder or an mbox file
    };
    bool RunAccountsDialog(std::vector<MailAccount>& accounts, int& checkEveryMinutes);
    void StartCheck(bool byUser);
    std::vector<Job> JobsFor(const std::vector<MailAccount>& accounts, bool mayAskPassword);
    // The job's source read into `sink`, until the token is cancelled.
    CheckOutcome RunJob(const Job& job, CSyncStateStore& state, CIntakeSink& sink, CJobToken& token);
    void ApplyTimer(int everyMinutes);
    void ShowProgress(const JobProgress& progress);
    // What the worker brings back from all accounts.
    struct CheckRun {
        std::vector<QString> refusedLogins;
        std::vector<std::string> folders;  // the IMAP folders checked to the end
    };
    void Finish(const CheckRun& run, const JobEnd& end);
    void SetRunning(bool running);
    std::filesystem::path AccountsFile() const;
    CSyncStateStore& SyncState();

    CYubinoApp& m_app;
    QMainWindow& m_window;
    DataFileFn m_dataFile;
    std::filesystem::path m_accountsFile;  // empty: the user's
    CMailPasswordStore m_passwords;
    EditAccountsFn m_editAccounts;
    QAction* m_checkAction;
    QAction* m_accountsAction;
    QLabel* m_progressLabel;
    QProgressBar* m_progressBar;
    QPushButton* m_cancelButton;
    QTimer m_timer;
    int m_everyMs = 0;

    CJobRunner& m_jobs;
    std::shared_ptr<CJob> m_job;
    bool m_closing = false;
    bool m_byUser = true;
    // What the last timed check told, so that a mailbox out of reach is told once, not at
    // every turn of the timer.
    QStringList m_timedErrorsTold;
    CPalArchive* m_archive;
    std::unique_ptr<CMailIntakeService> m_intake;
    // The sync points of the data file in use (in memory where it has no archive).
    std::unique_ptr<CArchiveSyncState> m_syncState;
    std::filesystem::path m_syncStateFor;
};
