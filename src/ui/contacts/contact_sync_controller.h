// The command "連絡先を同期...": the two-way sync with the address book of the CardDAV
// account runs as a job on a copy of the pal table, with its progress in a dialog that can
// cancel it; the synced table then takes the place of the window's in one undo step, and
// the user is told what changed, and the data file is saved: the sync's records beside it
// (which cards this file holds) must not run ahead of the file. The account is asked for
// at the first sync.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "archive/pal_archive.h"
#include "contacts/contact_sync.h"
#include "core/pen_pal.h"
#include "sync/mail_accounts.h"
#include "ui/mail/mail_password_store.h"

class CJob;
class CJobRunner;
struct JobEnd;
class CYubinoApp;
class QProgressDialog;
class QWidget;

class CContactSyncController : public QObject {
    Q_OBJECT
public:
    // `save` stores the pal table in the data file.
    CContactSyncController(CYubinoApp& app, QWidget& window, CJobRunner& jobs, CPalArchive::DocumentFn document,
                           std::function<void()> save);
    ~CContactSyncController() override;

    // Tests give their own accounts file, password question and account dialog.
    void SetAccountsFile(std::filesystem::path file) { m_accountsFile = std::move(file); }
    void SetAskPassword(CMailPasswordStore::AskFn ask) { m_passwords = CMailPasswordStore(std::move(ask)); }
    using EditAccountFn = std::function<bool(ContactAccount&, QString& password)>;
    void SetEditAccount(EditAccountFn edit) { m_editAccount = std::move(edit); }

    bool Running() const { return m_job != nullptr; }
    // Cancels a running sync and waits for it; what it took in is in the pal table after.
    void StopAndWait();

public slots:
    void Sync();
    // The account dialog; true when an account was stored.
    bool EditAccount();

signals:
    // Each sync's end, with what the user was told (UTF-8).
    void Finished(const QString& told);

private:
    struct Run {
        ContactSyncResult result;
        std::vector<CPenPal> pals;
    };
    void Start(const ContactAccount& account, bool force);
    void Finish(const Run& run, const JobEnd& end, ContactAccount account);
    // The table as the sync left it, in the window's, as one undo step.
    void TakeTable(const std::vector<CPenPal>& pals);
    // What to do after a sync that did not end: true when it was started again.
    bool Retry(const ContactSyncResult& result, ContactAccount& account, QString& told);
    QString Summary(const ContactSyncResult& result) const;
    std::filesystem::path AccountsFile() const;
    // The account the sync uses: the accounts file's first address book account.
    std::optional<ContactAccount> StoredAccount() const;
    bool StoreAccount(const ContactAccount& account);
    static QString PasswordKey(const ContactAccount& account);

    CYubinoApp& m_app;
    QWidget& m_window;
    CJobRunner& m_jobs;
    CPalArchive::DocumentFn m_document;
    std::function<void()> m_save;
    std::filesystem::path m_accountsFile;  // empty: the user's
    CMailPasswordStore m_passwords;
    EditAccountFn m_editAccount;
    std::shared_ptr<CJob> m_job;
    bool m_closing = false;
    QProgressDialog* m_progress = nullptr;
};
