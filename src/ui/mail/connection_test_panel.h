// "接続を確認" under the fields of an IMAP account: the test runs off the window's thread
// and its report shows below the button; for a certificate that did not verify,
// "この証明書を信頼する" hands its fingerprint to the dialog and tries again.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "sync/connection_test.h"
#include "sync/mail_accounts.h"
#include "ui/jobs/window_jobs.h"

class CJob;
class QLabel;
class QPushButton;

// The account's password (asked when not known yet), and its forgetting after a refusal.
struct AccountPasswords {
    std::function<std::optional<QString>(const QString& account)> get;
    std::function<void(const QString& account)> forget;
};

class CConnectionTestPanel : public QWidget {
    Q_OBJECT
public:
    // `account` gives the account as the fields show it now.
    CConnectionTestPanel(std::function<MailAccount()> account, AccountPasswords passwords, QWidget* parent = nullptr);
    ~CConnectionTestPanel() override;

    void Test();
    // Another account shown: the last report belonged to the one before.
    void Clear();

    QPushButton* TestButton() const { return m_test; }
    QPushButton* TrustButton() const { return m_trust; }
    QLabel* Report() const { return m_report; }
    const std::optional<ConnectionReport>& LastReport() const { return m_last; }

signals:
    // The user trusts the certificate with this SHA-256 fingerprint.
    void Trusted(const QString& fingerprint);
    void Tested();

private:
    void Show(const ConnectionReport& report);

    std::function<MailAccount()> m_account;
    AccountPasswords m_passwords;
    QPushButton* m_test;
    QPushButton* m_trust;
    QLabel* m_report;
    std::optional<ConnectionReport> m_last;
    std::shared_ptr<CJob> m_job;
    bool m_closing = false;
    CWindowJobs m_jobs;  // last: its jobs end while the rest of the panel is still there
};
