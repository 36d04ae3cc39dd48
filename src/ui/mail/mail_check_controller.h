// The command "メールを確認" (F5) and the accounts dialog's command: the check of every
// stored account runs on a worker thread; progress and a cancel button sit in the status
// bar, and the window stays usable. Each fetched mail is taken in on the window's thread,
// one at a time, before the next is fetched.
#pragma once

#include <QObject>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "sync/checked_mail_intake.h"
#include "sync/mail_accounts.h"
#include "ui/mail/mail_password_store.h"

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

    // Fetched mails go into `archive` (none: the table only) and update the pals.
    CMailCheckController(CYubinoApp& app, QMainWindow& window, DataFileFn dataFile, CPalArchive* archive = nullptr);
    ~CMailCheckController() override;

    QAction* CheckAction() const { return m_checkAction; }
    QAction* AccountsAction() const { return m_accountsAction; }
    bool Running() const { return m_worker.joinable(); }

    // Tests give their own accounts file and password question.
    void SetAccountsFile(std::filesystem::path file) { m_accountsFile = std::move(file); }
    void SetAskPassword(CMailPasswordStore::AskFn ask) { m_passwords = CMailPasswordStore(std::move(ask)); }
    // Tests give their own accounts dialog; it edits the list and says whether to keep it.
    using EditAccountsFn = std::function<bool(std::vector<MailAccount>&)>;
    void SetEditAccounts(EditAccountsFn edit) { m_editAccounts = std::move(edit); }

public slots:
    void Check();
    void Cancel();
    void EditAccounts();

signals:
    // The one line the status bar shows at the end, and every error of the check.
    void Finished(const QString& summary, const QStringList& errors);

private:
    struct Job {
        ImapCheckOptions options;
        QString account;
    };
    void ShowProgress(const CheckProgress& progress);
    void Finish(const std::vector<std::string>& errors, const std::vector<QString>& refusedLogins);
    void SetRunning(bool running);
    std::filesystem::path AccountsFile() const;
    bool TakeOnWindowThread(const FetchedMail& mail);

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

    std::thread m_worker;
    std::atomic<bool> m_workerDone{false};
    std::mutex m_currentMutex;
    CImapCheck* m_current = nullptr;
    bool m_cancelled = false;
    bool m_closing = false;
    std::size_t m_fetched = 0;
    CPalArchive* m_archive;
    std::unique_ptr<CCheckedMailIntake> m_intake;
};
