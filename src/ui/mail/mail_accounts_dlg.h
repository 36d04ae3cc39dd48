// The dialog "メールアカウント": the list of accounts, and the fields of the chosen one.
#pragma once

#include <QDialog>
#include <vector>

#include "sync/mail_accounts.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

class CMailAccountsDlg : public QDialog {
    Q_OBJECT
public:
    CMailAccountsDlg(std::vector<MailAccount> accounts, int checkEveryMinutes, QWidget* parent = nullptr);
    const std::vector<MailAccount>& Accounts() const { return m_accounts; }
    // 0: no timed check.
    int CheckEveryMinutes() const;

private:
    void AddAccount();
    void RemoveAccount();
    void ShowAccount(int row);
    void KeepFields();

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
    QSpinBox* m_sinceDays;
    QLineEdit* m_fingerprint;
    QLineEdit* m_path;
    QCheckBox* m_timed;
    QSpinBox* m_everyMinutes;
};

// Shows the dialog over `parent`; true (and the arguments replaced) when the user chose OK.
bool RunMailAccountsDlg(QWidget* parent, std::vector<MailAccount>& accounts, int& checkEveryMinutes);
