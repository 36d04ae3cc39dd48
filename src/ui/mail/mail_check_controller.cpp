#include "ui/mail/mail_check_controller.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <chrono>
#include <ctime>

#include "core/cp932.h"
#include "core/texts.h"
#include "core/user_interface.h"
#include "core/yubino_app.h"
#include "sync/local_folder_check.h"
#include "ui/mail/mail_accounts_dlg.h"
#include "ui/window_fit.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

std::optional<QString> AskPasswordInDialog(QWidget* parent, const QString& account) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(Text(texts::kCheckPasswordTitle));
    dialog.setLabelText(QString::fromStdString(CheckText(texts::kCheckPasswordPrompt, {account.toStdString()})));
    dialog.setTextEchoMode(QLineEdit::Password);
    FitWidthToTitle(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

// The date `days` before today, for the first check's SINCE.
void SetSince(ImapCheckOptions& options, int days) {
    const std::time_t then = std::time(nullptr) - static_cast<std::time_t>(days) * 24 * 60 * 60;
    std::tm local{};
    localtime_r(&then, &local);
    options.sinceYear = local.tm_year + 1900;
    options.sinceMonth = local.tm_mon + 1;
    options.sinceDay = local.tm_mday;
}

// A timed check that meets a running check or an open dialog comes back this much later.
constexpr int kRetryMs = 60 * 1000;

// The sync state is the window thread's (the archive's connection is); the worker reaches
// it through this.
class CWindowThreadSyncState : public CSyncStateStore {
public:
    CWindowThreadSyncState(QObject& window, CSyncStateStore& state) : m_window(window), m_state(state) {}
    std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) override {
        std::optional<SyncPoint> point;
        QMetaObject::invokeMethod(
            &m_window, [&] { point = m_state.Load(account, folder); }, Qt::BlockingQueuedConnection);
        return point;
    }
    bool Save(const std::string& account, const std::string& folder, const SyncPoint& point) override {
        bool saved = false;
        QMetaObject::invokeMethod(
            &m_window, [&] { saved = m_state.Save(account, folder, point); }, Qt::BlockingQueuedConnection);
        return saved;
    }

private:
    QObject& m_window;
    CSyncStateStore& m_state;
};

}  // namespace

CMailCheckController::CMailCheckController(CYubinoApp& app, QMainWindow& window, DataFileFn dataFile,
                                           CPalArchive* archive)
    : QObject(&window),
      m_app(app),
      m_window(window),
      m_dataFile(std::move(dataFile)),
      m_passwords([this](const QString& account) { return AskPasswordInDialog(&m_window, account); }),
      m_editAccounts([this](std::vector<MailAccount>& accounts, int& checkEveryMinutes) {
          return RunMailAccountsDlg(&m_window, accounts, checkEveryMinutes);
      }),
      m_archive(archive) {
    m_checkAction = new QAction(Text(texts::kCmdCheckMail), this);
    m_checkAction->setShortcut(QKeySequence(Qt::Key_F5));
    m_checkAction->setIcon(QIcon::fromTheme(QStringLiteral("mail-receive")));
    m_checkAction->setStatusTip(Text(texts::kCheckMailTip));
    connect(m_checkAction, &QAction::triggered, this, &CMailCheckController::Check);
    m_accountsAction = new QAction(Text(texts::kCmdMailAccounts), this);
    m_accountsAction->setStatusTip(Text(texts::kMailAccountsTip));
    connect(m_accountsAction, &QAction::triggered, this, &CMailCheckController::EditAccounts);

    m_progressLabel = new QLabel(&m_window);
    m_progressBar = new QProgressBar(&m_window);
    m_progressBar->setMaximumWidth(160);
    m_cancelButton = new QPushButton(Text(texts::kCheckCancel), &m_window);
    connect(m_cancelButton, &QPushButton::clicked, this, &CMailCheckController::Cancel);
    for (QWidget* w : {static_cast<QWidget*>(m_progressLabel), static_cast<QWidget*>(m_progressBar),
                       static_cast<QWidget*>(m_cancelButton)})
        m_window.statusBar()->addPermanentWidget(w);
    SetRunning(false);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CMailCheckController::Tick);
}

CMailCheckController::~CMailCheckController() {
    if (!m_worker.joinable()) return;
    m_closing = true;
    Cancel();
    // The worker may be waiting for this thread to take a mail in: let it.
    while (!m_workerDone) QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (m_worker.joinable()) m_worker.join();
}

// Found when first needed: making the window creates no folder.
std::filesystem::path CMailCheckController::AccountsFile() const {
    return m_accountsFile.empty() ? MailAccountsFile() : m_accountsFile;
}

void CMailCheckController::SetRunning(bool running) {
    m_progressLabel->setVisible(running);
    m_progressBar->setVisible(running);
    m_cancelButton->setVisible(running);
    m_checkAction->setEnabled(!running);
    if (running) {
        m_progressBar->setRange(0, 0);
        m_progressLabel->clear();
    }
}

void CMailCheckController::EditAccounts() {
    MailAccountsRead read = ReadMailAccounts(AccountsFile());
    if (!read.error.empty())
        m_app.UI().ShowMessage(cp932::FromUtf8(read.error).value_or(read.error), MessageKind::Warning);
    if (!m_editAccounts(read.accounts, read.checkEveryMinutes)) return;
    const WriteResult written = WriteMailAccounts(AccountsFile(), read.accounts, read.checkEveryMinutes);
    if (!written.ok)
        m_app.UI().ShowMessage(cp932::FromUtf8(written.error).value_or(written.error), MessageKind::Warning);
    ApplyTimer(read.checkEveryMinutes);
}

void CMailCheckController::StartTimedChecks() {
    ApplyTimer(ReadMailAccounts(AccountsFile()).checkEveryMinutes);
    if (m_everyMs) m_timer.start(0);
}

void CMailCheckController::ApplyTimer(int everyMinutes) {
    const int everyMs = everyMinutes > 0 ? everyMinutes * 60 * 1000 : 0;
    if (everyMs == m_everyMs) return;
    m_everyMs = everyMs;
    if (m_everyMs)
        m_timer.start(m_everyMs);
    else
        m_timer.stop();
}

void CMailCheckController::Tick() {
    if (!m_everyMs) return;
    if (Running() || QApplication::activeModalWidget()) {
        m_timer.start(std::min(kRetryMs, m_everyMs));
        return;
    }
    m_timer.start(m_everyMs);
    StartCheck(/*byUser=*/false);
}

void CMailCheckController::Check() { StartCheck(/*byUser=*/true); }

std::vector<CMailCheckController::Job> CMailCheckController::JobsFor(const std::vector<MailAccount>& accounts,
                                                                     bool mayAskPassword) {
    const std::vector<std::string> addresses = PalAddressesToCheck(m_app);
    std::vector<Job> jobs;
    for (const MailAccount& account : accounts) {
        Job job;
        job.kind = account.kind;
        if (account.kind != MailAccount::Kind::Imap) {
            job.account = QString::fromStdString(account.name.empty() ? account.path : account.name);
            job.path = account.path;
            jobs.push_back(std::move(job));
            continue;
        }
        job.account = QString::fromStdString(ImapAccountKey(account.server));
        const std::optional<QString> password = m_passwords.Password(job.account, mayAskPassword);
        if (!password) continue;
        job.options.server = account.server;
        job.options.password = password->toStdString();
        job.options.session.trust = {account.caFile, account.trustedFingerprint};
        job.options.folders = account.folders;
        job.options.addresses = addresses;
        SetSince(job.options, account.sinceDays);
        jobs.push_back(std::move(job));
    }
    return jobs;
}

CSyncStateStore& CMailCheckController::SyncState() {
    const std::filesystem::path dataFile = m_dataFile();
    // Points kept in memory belong to the document they were made for.
    if (!m_syncState || dataFile != m_syncStateFor) {
        m_syncState = std::make_unique<CArchiveSyncState>(m_archive);
        m_syncStateFor = dataFile;
        if (!dataFile.empty()) m_syncState->TakeOverStateFile(dataFile);
    }
    return *m_syncState;
}

void CMailCheckController::StartCheck(bool byUser) {
    if (m_worker.joinable()) return;
    const MailAccountsRead read = ReadMailAccounts(AccountsFile());
    if (read.accounts.empty()) {
        if (!byUser) return;
        m_app.UI().ShowMessage(Cp932Text(texts::kCheckNoAccounts), MessageKind::Information);
        EditAccounts();
        return;
    }
    std::vector<Job> jobs = JobsFor(read.accounts, byUser);
    if (jobs.empty() && !byUser) return;
    m_intake = std::make_unique<CCheckedMailIntake>(m_app, m_archive, std::vector<std::string>{});
    m_cancelled = false;
    m_workerDone = false;
    m_byUser = byUser;
    SetRunning(true);
    m_worker = std::thread([this, jobs = std::move(jobs), &state = SyncState()] {
        std::vector<std::string> errors;
        std::vector<QString> refusedLogins;
        CWindowThreadSyncState windowState(*this, state);
        for (const Job& job : jobs) {
            if (!SetCurrent({})) break;
            const CheckOutcome outcome = RunJob(job, windowState);
            errors.insert(errors.end(), outcome.errors.begin(), outcome.errors.end());
            if (outcome.failure == ImapFailure::Login) refusedLogins.push_back(job.account);
        }
        QMetaObject::invokeMethod(
            this, [this, errors, refusedLogins] { Finish(errors, refusedLogins); }, Qt::QueuedConnection);
        m_workerDone = true;
    });
}

bool CMailCheckController::SetCurrent(std::function<void()> cancel) {
    std::lock_guard lock(m_currentMutex);
    m_cancelCurrent = std::move(cancel);
    return !m_cancelled;
}

CheckOutcome CMailCheckController::RunJob(const Job& job, CSyncStateStore& state) {
    const CheckProgressFn progress = [this](const CheckProgress& p) {
        QMetaObject::invokeMethod(
            this, [this, p] { ShowProgress(p); }, Qt::QueuedConnection);
    };
    CheckOutcome outcome;
    if (job.kind == MailAccount::Kind::Imap) {
        CImapCheck check(state);
        if (!SetCurrent([&check] { check.Cancel(); })) return outcome;
        outcome = check.Run(
            job.options,
            [this](const FetchedMail& mail) { return TakeOnWindowThread([&] { return m_intake->Take(mail); }); },
            progress);
    } else {
        CLocalFolderCheck check;
        if (!SetCurrent([&check] { check.Cancel(); })) return outcome;
        outcome = check.Run(
            job.account.toStdString(), job.path,
            [this](const ParsedMail& mail) {
                return TakeOnWindowThread([&] { return m_intake->TakeParsed(mail, false); });
            },
            progress);
    }
    SetCurrent({});
    return outcome;
}

bool CMailCheckController::TakeOnWindowThread(const std::function<bool()>& take) {
    bool kept = false;
    QMetaObject::invokeMethod(
        this, [&] { kept = take(); }, Qt::BlockingQueuedConnection);
    return kept;
}

void CMailCheckController::Cancel() {
    std::lock_guard lock(m_currentMutex);
    m_cancelled = true;
    if (m_cancelCurrent) m_cancelCurrent();
}

void CMailCheckController::ShowProgress(const CheckProgress& progress) {
    m_progressBar->setRange(0, static_cast<int>(progress.total));
    m_progressBar->setValue(static_cast<int>(progress.done));
    m_progressLabel->setText(QString::fromStdString(CheckText(
        texts::kCheckRunning, {progress.folder, std::to_string(progress.done), std::to_string(progress.total)})));
}

void CMailCheckController::Finish(const std::vector<std::string>& errors, const std::vector<QString>& refusedLogins) {
    if (m_worker.joinable()) m_worker.join();
    if (m_closing) return;
    SetRunning(false);
    for (const QString& account : refusedLogins) m_passwords.Forget(account);
    const CheckTally tally = m_intake->Tally();
    const std::string fresh = std::to_string(tally.fresh);
    std::string summary = tally.updated.empty()
                              ? (tally.fresh ? CheckText(texts::kCheckNewMail, {fresh}) : texts::kCheckNoNewMail)
                              : CheckText(texts::kCheckNewMailFromPals, {std::to_string(tally.updated.size()), fresh});
    m_window.statusBar()->showMessage(QString::fromStdString(summary));
    QStringList errorList;
    for (const std::string& e : errors) errorList << QString::fromStdString(e);
    if (tally.fresh || !tally.updated.empty()) {
        m_app.UI().UpdateListView();
        m_app.UI().UpdateMapView();
    }
    // Told once per check, all together; a timed check that meets the same errors as the
    // one before leaves them in the status bar.
    const bool toldBefore = !m_byUser && errorList == m_timedErrorsTold;
    if (!m_byUser) m_timedErrorsTold = errorList;
    if (!errors.empty() && toldBefore) {
        m_window.statusBar()->showMessage(QString::fromStdString(summary) + QStringLiteral("　") + errorList.first());
    } else if (!errors.empty()) {
        const QString all = errorList.join(QStringLiteral("\n"));
        m_app.UI().ShowMessage(cp932::FromUtf8(all.toStdString()).value_or(all.toStdString()), MessageKind::Warning);
    }
    emit Finished(QString::fromStdString(summary), errorList);
}
