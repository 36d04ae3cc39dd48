// The dialog "メールアカウント": the list of accounts, and the fields of the chosen one.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "sync/mail_accounts.h"
#include "ui/mail/connection_test_panel.h"

class COwnAddressesEdit;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

class CMailAccountsDlg : public QDialog {
    Q_OBJECT
public:
    // "接続を確認" asks `passwords` for the password of the account shown.
    CMailAccountsDlg(std::vector<MailAccount> accounts, int checkEveryMinutes, QWidget* parent = nullptr,
                     AccountPasswords passwords = {});
    const std::vector<MailAccount>& Accounts() const { return m_accounts; }
    // 0: no timed check.
    int CheckEveryMinutes() const;
    // The user's own addresses shown for editing; without this call the field is hidden.
    void OfferOwnAddresses(const std::vector<std::string>& addresses);
    // The own addresses at OK, when they were offered.
    const std::optional<std::vector<std::string>>& OwnAddresses() const { return m_ownAddresses; }

    // Kept open, with a word, while an own address is no address.
    void accept() override;

    QListWidget* List() const { return m_list; }
    QLineEdit* HostEdit() const { return m_host; }
    QComboBox* SinceBox() const { return m_since; }
    QLineEdit* FingerprintEdit() const { return m_fingerprint; }
    CConnectionTestPanel* ConnectionTest() const { return m_test; }

private:
    void AddAccount();
    void RemoveAccount();
    void ShowAccount(int row);
    void KeepFields();
    void ShowSinceDays(int days);
    MailAccount ShownAccount();

    std::vector<MailAccount> m_accounts;
    int m_row = -1;
    QListWidget* m_list;
    QLineEdit* m_name;
    QComboBox* m_kind;
    QLineEdit* m_host;
    QSpinBox* m_port;
    QComboBox* m_security;
    QLineEdit* m_user;
    QLineEdit* m_folders;
    QComboBox* m_since;
    QLineEdit* m_fingerprint;
    QLineEdit* m_path;
    QCheckBox* m_timed;
    QSpinBox* m_everyMinutes;
    QWidget* m_ownLabel;
    COwnAddressesEdit* m_own;
    std::optional<std::vector<std::string>> m_ownAddresses;
    CConnectionTestPanel* m_test;
};
