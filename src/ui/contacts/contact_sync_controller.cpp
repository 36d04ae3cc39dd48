#include "ui/contacts/contact_sync_controller.h"

#include <QInputDialog>
#include <QProgressDialog>
#include <QWidget>
#include <utility>

#include "contacts/archive_contact_state.h"
#include "core/jobs.h"
#include "core/silent_user_interface.h"
#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/contacts/contact_account_dlg.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The sync on a table of its own: the window's table is not touched off its thread.
ContactSyncResult SyncCopy(std::vector<CPenPal>& pals, const std::filesystem::path& dataFolder,
                           const ArchiveDocument& document, ContactSyncOptions options, CJobToken& token) {
    CSilentUserInterface silent;
    CYubinoApp worker(silent);
    worker.ReplaceRows(0, 0, pals);
    worker.m_dataFolder = dataFolder;
    CPalArchive archive(worker, [document] { return document; });
    worker.SetHistory(&archive);
    CArchiveContactState state(archive);
    options.progress = [&token](int done, int total) {
        token.Progress({static_cast<std::uint64_t>(done), static_cast<std::uint64_t>(total), {}});
    };
    options.cancelled = [&token] { return token.Cancelled(); };
    ContactSyncResult result = SyncContacts(worker, archive, state, options);
    worker.SetHistory(nullptr);
    pals = worker.Pals();
    return result;
}

}  // namespace

CContactSyncController::CContactSyncController(CYubinoApp& app, QWidget& window, CJobRunner& jobs,
                                               CPalArchive::DocumentFn document, std::function<void()> save)
    : m_app(app),
      m_window(window),
      m_jobs(jobs),
      m_document(std::move(document)),
      m_save(std::move(save)),
      m_passwords([](const QString&) { return std::nullopt; }, QStringLiteral("yubino-contacts")) {}

CContactSyncController::~CContactSyncController() { StopAndWait(); }

void CContactSyncController::StopAndWait() {
    if (!m_job) return;
    m_closing = true;
    const std::shared_ptr<CJob> job = m_job;
    job->Cancel();
    m_jobs.AwaitEnd(*job);
}

std::filesystem::path CContactSyncController::AccountsFile() const {
    return m_accountsFile.empty() ? MailAccountsFile() : m_accountsFile;
}

QString CContactSyncController::PasswordKey(const ContactAccount& account) {
    return Q(account.user + " " + account.url);
}

bool CContactSyncController::StoreAccount(const ContactAccount& account) {
    const WriteResult written = WriteContactAccounts(AccountsFile(), {account});
    if (!written.ok)
        m_app.UI().ShowMessage(Cp932Text(Text(texts::kContactAccountNotStored).arg(Q(written.error)).toStdString()),
                               MessageKind::Warning);
    return written.ok;
}

std::optional<ContactAccount> CContactSyncController::StoredAccount() const {
    std::vector<ContactAccount> stored = ReadMailAccounts(AccountsFile()).contactAccounts;
    if (stored.empty()) return std::nullopt;
    return std::move(stored.front());
}

bool CContactSyncController::EditAccount() {
    ContactAccount account = StoredAccount().value_or(ContactAccount{});
    QString password;
    if (m_editAccount) {
        if (!m_editAccount(account, password)) return false;
    } else {
        CContactAccountDlg dialog(account, &m_window);
        if (dialog.exec() != QDialog::Accepted) return false;
        account = dialog.Account();
        password = dialog.Password();
    }
    if (!StoreAccount(account)) return false;
    if (!password.isEmpty()) m_passwords.Remember(PasswordKey(account), password);
    return true;
}

void CContactSyncController::Sync() {
    if (m_job) return;
    std::optional<ContactAccount> account = StoredAccount();
    if (!account || !m_passwords.Password(PasswordKey(*account), false)) {
        if (!EditAccount()) return;
        account = StoredAccount();
    }
    if (account) Start(*account, false);
}

void CContactSyncController::Start(const ContactAccount& account, bool force) {
    const std::optional<QString> password = m_passwords.Password(PasswordKey(account), false);
    if (!password) return;
    ContactSyncOptions options;
    options.url = account.url;
    options.user = account.user;
    options.password = password->toStdString();
    options.trust = {account.caFile, account.trustedFingerprint};
    options.book = account.book;
    options.force = force;
    auto run = std::make_shared<Run>();
    run->pals = m_app.Pals();
    m_progress = new QProgressDialog(Text(texts::kContactSyncRunning), Text(texts::kCheckCancel), 0, 0, &m_window);
    m_progress->setWindowTitle(Text(texts::kContactAccountTitle));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->show();
    m_job =
        m_jobs.Start([run, options, dataFolder = m_app.m_dataFolder, document = m_document()](
                         CJobToken& token) { run->result = SyncCopy(run->pals, dataFolder, document, options, token); },
                     [this, run, account](const JobEnd& end) { Finish(*run, end, account); },
                     [this](const JobProgress& progress) {
                         if (!m_progress) return;
                         m_progress->setMaximum(static_cast<int>(progress.total));
                         m_progress->setValue(static_cast<int>(progress.done));
                     });
    connect(m_progress, &QProgressDialog::canceled, this, [job = std::weak_ptr<CJob>(m_job)] {
        if (const std::shared_ptr<CJob> running = job.lock()) running->Cancel();
    });
}

void CContactSyncController::TakeTable(const std::vector<CPenPal>& pals) {
    if (DiffTables(m_app.Pals(), pals).IsEmpty()) return;
    {
        CTableChange change(m_app, StepKind::MailIntake, Cp932Text(texts::kStepContactSync));
        m_app.ReplaceRows(0, m_app.Pals().size(), pals);
    }
    m_app.UpdateListView();
    m_app.UpdateMapView();
    m_save();
}

void CContactSyncController::Finish(const Run& run, const JobEnd& end, ContactAccount account) {
    m_job.reset();
    if (m_progress) m_progress->deleteLater();
    m_progress = nullptr;
    // What came in before a failure or a cancel is kept: the records beside the pals name it.
    if (end.status != JobEnd::Status::Failed) TakeTable(run.pals);
    if (std::exchange(m_closing, false)) return;
    QString told;
    if (end.status == JobEnd::Status::Failed)
        told = Text(texts::kContactSyncFailed).arg(Q(end.error));
    else if (run.result.ok || run.result.failure == ContactSyncFailure::Cancelled)
        told = Summary(run.result);
    else if (Retry(run.result, account, told))
        return;
    if (!told.isEmpty())
        m_app.UI().ShowMessage(Cp932Text(told.toStdString()),
                               run.result.ok ? MessageKind::Information : MessageKind::Warning);
    emit Finished(told);
}

bool CContactSyncController::Retry(const ContactSyncResult& result, ContactAccount& account, QString& told) {
    using enum ContactSyncFailure;
    switch (result.failure) {
        case TooManyDeletions:
            if (!m_app.UI().AskYesNo(
                    Cp932Text(Text(texts::kContactSyncAskDeletions).arg(result.deletionsRefused).toStdString())))
                return false;
            Start(account, true);
            return true;
        case BookUnclear: {
            QStringList books;
            for (const std::string& book : result.books) books << Q(book);
            bool chosen = false;
            const QString book = QInputDialog::getItem(&m_window, Text(texts::kContactAccountTitle),
                                                       Text(texts::kContactSyncChooseBook), books, 0, false, &chosen);
            if (!chosen) return false;
            account.book = book.toStdString();
            if (!StoreAccount(account)) return false;
            Start(account, false);
            return true;
        }
        case Certificate:
            if (result.fingerprint.empty() ||
                !m_app.UI().AskYesNo(
                    Cp932Text(Text(texts::kContactSyncAskTrust).arg(Q(result.fingerprint)).toStdString()))) {
                told = Text(texts::kContactSyncUntrusted);
                return false;
            }
            account.trustedFingerprint = result.fingerprint;
            if (!StoreAccount(account)) return false;
            Start(account, false);
            return true;
        case LoginRefused:
            m_passwords.Forget(PasswordKey(account));
            told = Text(texts::kContactSyncLoginRefused);
            return false;
        case Unreachable:
            told = Text(texts::kContactSyncUnreachable).arg(Q(account.url));
            return false;
        case NoBook:
            told = Text(texts::kContactSyncNoBook);
            return false;
        default:
            told = Text(texts::kContactSyncFailed).arg(Q(result.error));
            return false;
    }
}

QString CContactSyncController::Summary(const ContactSyncResult& result) const {
    QStringList lines{Text(result.ok ? texts::kContactSyncDone : texts::kContactSyncStopped),
                      Text(texts::kContactSyncCounts)
                          .arg(result.added.size())
                          .arg(result.updated.size())
                          .arg(result.deleted.size())
                          .arg(result.conflicts.size())
                          .arg(result.uploaded)};
    for (const SyncConflict& conflict : result.conflicts)
        lines << Text(texts::kContactSyncConflict)
                     .arg(Q(conflict.address), Q(conflict.field), Q(conflict.kept), Q(conflict.other));
    if (!result.notAdded.empty()) lines << Text(texts::kContactSyncNotAdded).arg(result.notAdded.size());
    return lines.join(QLatin1Char('\n'));
}
