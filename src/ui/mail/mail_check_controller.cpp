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

#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/jobs.h"
#include "core/texts.h"
#include "core/user_interface.h"
#include "core/yubino_app.h"
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

std::string JoinedFolderNames(const std::vector<std::string>& folders) {
    std::string out;
    for (const std::string& folder : folders) out += (out.empty() ? "" : ", ") + folder;
    return out;
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

// The intake is the window thread's (the pal table is): the worker's sources reach it
// through this, one mail at a time, each taken in before the next is read.
class CWindowThreadSink : public CIntakeSink {
public:
    CWindowThreadSink(QObject& window, CIntakeSink& sink) : m_window(window), m_sink(sink) {}
    bool Take(const ParsedMail& mail, const MailOrigin& origin, const std::vector<ArchiveSetting>& settings) override {
        bool kept = false;
        QMetaObject::invokeMethod(
            &m_window, [&] { kept = m_sink.Take(mail, origin, settings); }, Qt::BlockingQueuedConnection);
        return kept;
    }
    void PassOver(const std::vector<ArchiveSetting>& settings) override {
        QMetaObject::invokeMethod(
            &m_window, [&] { m_sink.PassOver(settings); }, Qt::BlockingQueuedConnection);
    }
    void Failed(const std::string& where, const std::string& reason) override {
        QMetaObject::invokeMethod(
            &m_window, [&] { m_sink.Failed(where, reason); }, Qt::BlockingQueuedConnection);
    }

private:
    QObject& m_window;
    CIntakeSink& m_sink;
};

}  // namespace

CMailCheckController::CMailCheckController(CYubinoApp& app, QMainWindow& window, CJobRunner& jobs, DataFileFn dataFile,
                                           CPalArchive* archive, MailCheckControls controls)
    : QObject(&window),
      m_app(app),
      m_window(window),
      m_dataFile(std::move(dataFile)),
      m_passwords([this](const QString& account) { return AskPasswordInDialog(&m_window, account); }),
      m_editAccounts([this](std::vector<MailAccount>& accounts, int& checkEveryMinutes) {
          return RunAccountsDialog(accounts, checkEveryMinutes);
      }),
      m_checkAction(controls.check),
      m_accountsAction(controls.accounts),
      m_progressLabel(controls.progressLabel),
      m_progressBar(controls.progressBar),
      m_cancelButton(controls.cancelButton),
      m_jobs(jobs),
      m_archive(archive) {
    connect(m_cancelButton, &QPushButton::clicked, this, &CMailCheckController::Cancel);
    SetRunning(false);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CMailCheckController::Tick);
}

CMailCheckController::~CMailCheckController() { StopAndWait(); }

void CMailCheckController::StopAndWait() {
    if (!m_job) return;
    m_closing = true;
    const std::shared_ptr<CJob> job = m_job;
    job->Cancel();
    // The worker may be waiting for this thread to take a mail in: the runner lets it.
    m_jobs.AwaitEnd(*job);
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

// The dialog tests a connection with the check's passwords, and edits the own addresses
// where the archive can take them.
bool CMailCheckController::RunAccountsDialog(std::vector<MailAccount>& accounts, int& checkEveryMinutes) {
    CMailAccountsDlg dialog(accounts, checkEveryMinutes, &m_window,
                            {[this](const QString& account) { return m_passwords.Password(account); },
                             [this](const QString& account) { m_passwords.Forget(account); }});
    CMailArchive* archive = m_archive && m_archive->Writable() ? m_archive->Archive() : nullptr;
    if (archive) {
        const ArchiveResult<std::vector<std::string>> own = archive->OwnAddresses();
        if (own.Ok()) dialog.OfferOwnAddresses(own.value);
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    accounts = dialog.Accounts();
    checkEveryMinutes = dialog.CheckEveryMinutes();
    if (archive && dialog.OwnAddresses() && !archive->SetOwnAddresses(*dialog.OwnAddresses()).Ok())
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
    return true;
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
        job.options = CheckOptionsFor(account, password->toStdString(), addresses);
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
    if (m_job) return;
    const MailAccountsRead read = ReadMailAccounts(AccountsFile());
    if (read.accounts.empty()) {
        if (!byUser) return;
        m_app.UI().ShowMessage(Cp932Text(texts::kCheckNoAccounts), MessageKind::Information);
        EditAccounts();
        return;
    }
    std::vector<Job> jobs = JobsFor(read.accounts, byUser);
    if (jobs.empty() && !byUser) return;
    m_intake =
        std::make_unique<CMailIntakeService>(m_app, m_archive, IntakeOptions{UnknownSenderPolicy::Ignore, {}, "imap"});
    m_closing = false;
    m_byUser = byUser;
    SetRunning(true);
    auto run = std::make_shared<CheckRun>();
    m_job = m_jobs.Start(
        [this, jobs = std::move(jobs), &state = SyncState(), run](CJobToken& token) {
            CWindowThreadSyncState windowState(*this, state);
            CWindowThreadSink sink(*this, *m_intake);
            for (const Job& job : jobs) {
                if (token.Cancelled()) break;
                const CheckOutcome outcome = RunJob(job, windowState, sink, token);
                run->folders.insert(run->folders.end(), outcome.folders.begin(), outcome.folders.end());
                if (outcome.failure == ImapFailure::Login) run->refusedLogins.push_back(job.account);
            }
        },
        [this, run](const JobEnd& end) { Finish(*run, end); },
        [this](const JobProgress& progress) { ShowProgress(progress); });
}

CheckOutcome CMailCheckController::RunJob(const Job& job, CSyncStateStore& state, CIntakeSink& sink, CJobToken& token) {
    const CheckProgressFn progress = [&token](const CheckProgress& p) { token.Progress({p.done, p.total, p.folder}); };
    std::unique_ptr<CCheckSource> source;
    if (job.kind == MailAccount::Kind::Imap)
        source = std::make_unique<CImapSource>(state, job.options, progress);
    else
        source = std::make_unique<CLocalFolderSource>(job.account.toStdString(), job.path, progress);
    token.OnCancel([&source] { source->Cancel(); });
    source->ReadInto(sink);
    token.OnCancel({});
    return source->Outcome();
}

void CMailCheckController::Cancel() {
    if (m_job) m_job->Cancel();
}

void CMailCheckController::ShowProgress(const JobProgress& progress) {
    m_progressBar->setRange(0, static_cast<int>(progress.total));
    m_progressBar->setValue(static_cast<int>(progress.done));
    m_progressLabel->setText(QString::fromStdString(CheckText(
        texts::kCheckRunning, {progress.what, std::to_string(progress.done), std::to_string(progress.total)})));
}

namespace {

// The status bar's line: new mails counted once each, their senders by pal; a check that
// failed and brought nothing never says that nothing was new.
std::string SummaryOf(const IntakeResult& result) {
    if (!result.palsWithNewMail.empty())
        return CheckText(texts::kCheckNewMailFromPals,
                         {std::to_string(result.palsWithNewMail.size()), std::to_string(result.received)});
    if (result.stored > 0) return CheckText(texts::kCheckNewMail, {std::to_string(result.stored)});
    return result.failures.empty() ? texts::kCheckNoNewMail : texts::kCheckFailed;
}

}  // namespace

void CMailCheckController::Finish(const CheckRun& run, const JobEnd& end) {
    m_job.reset();
    // The pals follow what was kept, also when the check was cut off.
    IntakeResult result = m_intake->Finish();
    if (end.status == JobEnd::Status::Failed)
        result.failures.push_back({"", std::string(texts::kCheckFailed) + " (" + end.error + ")"});
    if (m_closing) return;
    SetRunning(false);
    for (const QString& account : run.refusedLogins) m_passwords.Forget(account);
    std::string summary = SummaryOf(result);
    if (!run.folders.empty())
        summary += "　" + CheckText(texts::kCheckFoldersChecked, {JoinedFolderNames(run.folders)});
    m_window.statusBar()->showMessage(QString::fromStdString(summary));
    QStringList errorList;
    for (const IntakeFailure& failure : result.failures) errorList << QString::fromStdString(failure.reason);
    // Told once per check, all together; a timed check that meets the same errors as the
    // one before leaves them in the status bar.
    const bool toldBefore = !m_byUser && errorList == m_timedErrorsTold;
    if (!m_byUser) m_timedErrorsTold = errorList;
    if (!errorList.empty() && toldBefore) {
        m_window.statusBar()->showMessage(QString::fromStdString(summary) + QStringLiteral("　") + errorList.first());
    } else if (!errorList.empty()) {
        const QString all = errorList.join(QStringLiteral("\n"));
        m_app.UI().ShowMessage(cp932::FromUtf8(all.toStdString()).value_or(all.toStdString()), MessageKind::Warning);
    }
    emit Finished(QString::fromStdString(summary), errorList);
}
