#include "ui/mail/mail_accounts_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/texts.h"
#include "ui/dialogs/own_addresses_edit.h"

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Folders are typed as one line, separated by commas.
QString JoinFolders(const std::vector<std::string>& folders) {
    QStringList list;
    for (const std::string& f : folders) list << Q(f);
    return list.join(QStringLiteral(", "));
}

std::vector<std::string> SplitFolders(const QString& text) {
    std::vector<std::string> folders;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty()) folders.push_back(part.trimmed().toStdString());
    return folders;
}

}  // namespace

CMailAccountsDlg::CMailAccountsDlg(std::vector<MailAccount> accounts, int checkEveryMinutes, QWidget* parent,
                                   AccountPasswords passwords)
    : QDialog(parent), m_accounts(std::move(accounts)) {
    setWindowTitle(QString::fromUtf8(texts::kMailAccountsTitle));
    m_list = new QListWidget(this);
    auto* add = new QPushButton(QStringLiteral("追加"), this);
    auto* remove = new QPushButton(QStringLiteral("削除"), this);
    m_name = new QLineEdit(this);
    m_kind = new QComboBox(this);
    m_kind->addItems({QStringLiteral("IMAP"), QStringLiteral("Maildir フォルダー"), QStringLiteral("mbox ファイル")});
    m_host = new QLineEdit(this);
    m_port = new QSpinBox(this);
    m_port->setRange(1, 65535);
    m_security = new QComboBox(this);
    m_security->addItems({QStringLiteral("SSL/TLS"), QStringLiteral("STARTTLS"),
                          QStringLiteral("なし (このコンピューター上のサーバーだけ)")});
    m_user = new QLineEdit(this);
    m_folders = new QLineEdit(this);
    m_folders->setPlaceholderText(QStringLiteral("空欄: INBOX と送信済みフォルダー"));
    m_since = new QComboBox(this);
    for (const int days : kSinceDayChoices)
        m_since->addItem(days == kSinceAllMail ? Q(texts::kSinceAll) : Q(texts::kSinceDaysChoice).arg(days), days);
    m_fingerprint = new QLineEdit(this);
    m_fingerprint->setPlaceholderText(QStringLiteral("確認できない証明書を信頼するときだけ (SHA-256)"));
    m_path = new QLineEdit(this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("名前"), m_name);
    form->addRow(QStringLiteral("種類"), m_kind);
    form->addRow(QStringLiteral("サーバー"), m_host);
    form->addRow(QStringLiteral("ポート"), m_port);
    form->addRow(QStringLiteral("暗号化"), m_security);
    form->addRow(QStringLiteral("ユーザー名"), m_user);
    form->addRow(QStringLiteral("フォルダー"), m_folders);
    form->addRow(QStringLiteral("最初の確認でさかのぼる期間"), m_since);
    form->addRow(QStringLiteral("信頼する証明書"), m_fingerprint);
    form->addRow(QStringLiteral("場所"), m_path);
    m_test = new CConnectionTestPanel([this] { return ShownAccount(); }, std::move(passwords), this);
    connect(m_test, &CConnectionTestPanel::Trusted, m_fingerprint, &QLineEdit::setText);
    connect(m_kind, &QComboBox::currentIndexChanged, this,
            [this](int kind) { m_test->setVisible(kind == static_cast<int>(MailAccount::Kind::Imap)); });
    auto* fields = new QVBoxLayout;
    fields->addLayout(form);
    fields->addWidget(m_test);
    fields->addStretch();
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(m_list);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(add);
    listButtons->addWidget(remove);
    listColumn->addLayout(listButtons);
    auto* columns = new QHBoxLayout;
    columns->addLayout(listColumn);
    columns->addLayout(fields, 1);
    m_timed = new QCheckBox(QStringLiteral("起動したときと一定の間隔でメールを確認する"), this);
    m_everyMinutes = new QSpinBox(this);
    m_everyMinutes->setRange(1, 24 * 60);
    m_everyMinutes->setSuffix(QStringLiteral(" 分ごと"));
    m_everyMinutes->setValue(checkEveryMinutes > 0 ? checkEveryMinutes : 30);
    m_timed->setChecked(checkEveryMinutes > 0);
    m_everyMinutes->setEnabled(m_timed->isChecked());
    connect(m_timed, &QCheckBox::toggled, m_everyMinutes, &QWidget::setEnabled);
    auto* timedRow = new QHBoxLayout;
    timedRow->addWidget(m_timed);
    timedRow->addWidget(m_everyMinutes);
    timedRow->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(timedRow);
    m_own = new COwnAddressesEdit(this);
    m_own->setMaximumHeight(m_own->fontMetrics().lineSpacing() * 4 + 12);
    auto* ownLabel = new QLabel(Q(texts::kOwnAddressesLabel), this);
    ownLabel->setBuddy(m_own);
    m_ownLabel = ownLabel;
    layout->addWidget(m_ownLabel);
    layout->addWidget(m_own);
    m_ownLabel->hide();
    m_own->hide();
    layout->addWidget(buttons);

    for (const MailAccount& a : m_accounts) m_list->addItem(Q(a.name));
    connect(m_list, &QListWidget::currentRowChanged, this, &CMailAccountsDlg::ShowAccount);
    connect(add, &QPushButton::clicked, this, &CMailAccountsDlg::AddAccount);
    connect(remove, &QPushButton::clicked, this, &CMailAccountsDlg::RemoveAccount);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMailAccountsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_list->setCurrentRow(m_accounts.empty() ? -1 : 0);
    ShowAccount(m_list->currentRow());
}

void CMailAccountsDlg::AddAccount() {
    KeepFields();
    MailAccount account;
    account.name = "アカウント" + std::to_string(m_accounts.size() + 1);
    m_accounts.push_back(account);
    m_list->addItem(Q(account.name));
    m_list->setCurrentRow(static_cast<int>(m_accounts.size()) - 1);
}

void CMailAccountsDlg::RemoveAccount() {
    if (m_row < 0) return;
    const int row = m_row;
    m_row = -1;  // the fields belong to no account now
    m_accounts.erase(m_accounts.begin() + row);
    delete m_list->takeItem(row);
    ShowAccount(m_list->currentRow());
}

void CMailAccountsDlg::ShowAccount(int row) {
    KeepFields();
    m_row = row;
    const bool any = row >= 0 && row < static_cast<int>(m_accounts.size());
    for (QWidget* w :
         {static_cast<QWidget*>(m_name), static_cast<QWidget*>(m_kind), static_cast<QWidget*>(m_host),
          static_cast<QWidget*>(m_port), static_cast<QWidget*>(m_security), static_cast<QWidget*>(m_user),
          static_cast<QWidget*>(m_folders), static_cast<QWidget*>(m_since), static_cast<QWidget*>(m_fingerprint),
          static_cast<QWidget*>(m_path), static_cast<QWidget*>(m_test)})
        w->setEnabled(any);
    m_test->Clear();
    if (!any) return;
    const MailAccount& a = m_accounts[static_cast<std::size_t>(row)];
    m_name->setText(Q(a.name));
    m_kind->setCurrentIndex(static_cast<int>(a.kind));
    m_host->setText(Q(a.server.host));
    m_port->setValue(a.server.port);
    m_security->setCurrentIndex(static_cast<int>(a.server.security));
    m_user->setText(Q(a.server.user));
    m_folders->setText(JoinFolders(a.folders));
    ShowSinceDays(a.sinceDays);
    m_fingerprint->setText(Q(a.trustedFingerprint));
    m_path->setText(Q(a.path));
}

void CMailAccountsDlg::KeepFields() {
    if (m_row < 0 || m_row >= static_cast<int>(m_accounts.size())) return;
    MailAccount& a = m_accounts[static_cast<std::size_t>(m_row)];
    a.name = m_name->text().toStdString();
    a.kind = static_cast<MailAccount::Kind>(m_kind->currentIndex());
    a.server.host = m_host->text().trimmed().toStdString();
    a.server.port = static_cast<std::uint16_t>(m_port->value());
    a.server.security = static_cast<ImapSecurity>(m_security->currentIndex());
    a.server.user = m_user->text().trimmed().toStdString();
    a.folders = SplitFolders(m_folders->text());
    a.sinceDays = m_since->currentData().toInt();
    a.trustedFingerprint = m_fingerprint->text().trimmed().toStdString();
    a.path = m_path->text().toStdString();
    m_list->item(m_row)->setText(Q(a.name));
}

// A reach stored by hand that is none of the choices stays as it is.
void CMailAccountsDlg::ShowSinceDays(int days) {
    int index = m_since->findData(days);
    if (index < 0) {
        m_since->addItem(Q(texts::kSinceDaysChoice).arg(days), days);
        index = m_since->count() - 1;
    }
    m_since->setCurrentIndex(index);
}

MailAccount CMailAccountsDlg::ShownAccount() {
    KeepFields();
    return m_row >= 0 && m_row < static_cast<int>(m_accounts.size()) ? m_accounts[static_cast<std::size_t>(m_row)]
                                                                     : MailAccount{};
}

void CMailAccountsDlg::OfferOwnAddresses(const std::vector<std::string>& addresses) {
    m_own->SetAddresses(addresses);
    m_ownLabel->show();
    m_own->show();
}

void CMailAccountsDlg::accept() {
    KeepFields();
    if (m_own->isVisibleTo(this)) {
        std::optional<std::vector<std::string>> own = m_own->Addresses(this);
        if (!own) return;
        m_ownAddresses = std::move(own);
    }
    QDialog::accept();
}

int CMailAccountsDlg::CheckEveryMinutes() const { return m_timed->isChecked() ? m_everyMinutes->value() : 0; }
