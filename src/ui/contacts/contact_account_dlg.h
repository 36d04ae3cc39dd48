// The address book account of the sync: server URL, user, password, the certificate to
// trust, and the address book. The password goes to the keyring, never to the file.
#pragma once

#include <QDialog>

#include "sync/mail_accounts.h"

class QLineEdit;

class CContactAccountDlg : public QDialog {
    Q_OBJECT
public:
    CContactAccountDlg(const ContactAccount& account, QWidget* parent);

    ContactAccount Account() const;
    QString Password() const;

    void accept() override;

private:
    QLineEdit* m_url;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_caFile;
    QLineEdit* m_fingerprint;
    QLineEdit* m_book;
};
