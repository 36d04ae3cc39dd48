#include "ui/contacts/contact_account_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

#include "core/texts.h"

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string Utf8(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

}  // namespace

CContactAccountDlg::CContactAccountDlg(const ContactAccount& account, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(texts::kContactAccountTitle));
    auto* form = new QFormLayout(this);
    const auto row = [&](const char* label, const std::string& value) {
        auto* edit = new QLineEdit(Q(value), this);
        form->addRow(QString::fromUtf8(label), edit);
        return edit;
    };
    m_url = row(texts::kContactAccountUrl, account.url);
    m_url->setPlaceholderText(QStringLiteral("https://dav.example.jp/"));
    m_user = row(texts::kContactAccountUser, account.user);
    m_password = row(texts::kContactAccountPassword, {});
    m_password->setEchoMode(QLineEdit::Password);
    m_caFile = row(texts::kContactAccountCaFile, account.caFile);
    m_fingerprint = row(texts::kContactAccountFingerprint, account.trustedFingerprint);
    m_fingerprint->setPlaceholderText(QStringLiteral("SHA-256"));
    m_book = row(texts::kContactAccountBook, account.book);
    m_book->setPlaceholderText(QString::fromUtf8(texts::kContactAccountBookHint));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(480);
}

ContactAccount CContactAccountDlg::Account() const {
    return {Utf8(m_url), Utf8(m_user), Utf8(m_caFile), Utf8(m_fingerprint), Utf8(m_book)};
}

QString CContactAccountDlg::Password() const { return m_password->text(); }

void CContactAccountDlg::accept() {
    const char* problem = !m_url->text().trimmed().startsWith(QStringLiteral("https://"))
                              ? texts::kContactAccountNeedsHttps
                          : m_user->text().trimmed().isEmpty() ? texts::kContactAccountNeedsUser
                                                               : nullptr;
    if (!problem) return QDialog::accept();
    QMessageBox::warning(this, windowTitle(), QString::fromUtf8(problem));
    (problem == texts::kContactAccountNeedsHttps ? m_url : m_user)->setFocus();
}
