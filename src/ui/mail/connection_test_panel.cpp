#include "ui/mail/connection_test_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/texts.h"
#include "sync/mailbox_sources.h"

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CConnectionTestPanel::CConnectionTestPanel(std::function<MailAccount()> account, AccountPasswords passwords,
                                           QWidget* parent)
    : QWidget(parent), m_account(std::move(account)), m_passwords(std::move(passwords)) {
    m_test = new QPushButton(Text(texts::kTestButton), this);
    m_trust = new QPushButton(Text(texts::kTestTrust), this);
    m_trust->hide();
    m_report = new QLabel(this);
    m_report->setWordWrap(true);
    m_report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_report->setTextFormat(Qt::PlainText);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_test);
    buttons->addWidget(m_trust);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(m_report);
    connect(m_test, &QPushButton::clicked, this, &CConnectionTestPanel::Test);
    connect(m_trust, &QPushButton::clicked, this, [this] {
        if (!m_last || m_last->fingerprintToTrust.empty()) return;
        emit Trusted(QString::fromStdString(m_last->fingerprintToTrust));
        m_report->setText(Text(texts::kTestTrusted));
        Test();
    });
}

CConnectionTestPanel::~CConnectionTestPanel() {
    m_closing = true;
    m_jobs.CancelAndWait();
}

void CConnectionTestPanel::Clear() {
    if (m_job) m_job->Cancel();
    m_last.reset();
    m_report->clear();
    m_trust->hide();
}

void CConnectionTestPanel::Test() {
    if (m_job) return;
    const MailAccount account = m_account();
    m_trust->hide();
    if (const std::optional<ConnectionReport> refused = RefuseBeforeConnecting(account.server)) return Show(*refused);
    const QString key = QString::fromStdString(ImapAccountKey(account.server));
    const std::optional<QString> password = m_passwords.get ? m_passwords.get(key) : std::nullopt;
    if (!password) {
        m_report->setText(Text(texts::kTestNoPassword));
        return;
    }
    m_test->setEnabled(false);
    m_report->setText(Text(texts::kTestRunning));
    auto test = std::make_shared<ConnectionTest>();
    m_job = m_jobs.Start(
        [server = account.server, password = password->toStdString(), options = SessionOptionsFor(account),
         test](CJobToken& token) {
            CCancelToken cancel;
            token.OnCancel([&cancel] { cancel.Cancel(); });
            *test = TestImapConnection(server, password, options, cancel);
            token.OnCancel({});
        },
        [this, server = account.server, key, test](const JobEnd& end) {
            m_job.reset();
            if (m_closing) return;
            m_test->setEnabled(true);
            if (end.status != JobEnd::Status::Done) {
                m_report->clear();
                return;
            }
            const ConnectionReport report = DescribeConnectionTest(server, *test);
            if (report.verdict == ConnectionVerdict::Login && m_passwords.forget) m_passwords.forget(key);
            Show(report);
        });
}

void CConnectionTestPanel::Show(const ConnectionReport& report) {
    m_last = report;
    m_report->setText(QString::fromStdString(report.message));
    m_trust->setVisible(!report.fingerprintToTrust.empty());
    emit Tested();
}
