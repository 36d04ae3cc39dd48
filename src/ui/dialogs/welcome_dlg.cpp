#include "ui/dialogs/welcome_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/texts.h"
#include "storage/data_file_name.h"
#include "ui/dialogs/own_addresses_edit.h"

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

CWelcomeDlg::CWelcomeDlg(const std::filesystem::path& suggestedFile, QWidget* parent) : QDialog(parent) {
    setWindowTitle(Utf8(texts::kWelcomeTitle));
    m_withSample = new QRadioButton(Utf8(texts::kWelcomeWithSample), this);
    m_withSample->setChecked(true);
    m_withNewFile = new QRadioButton(Utf8(texts::kWelcomeWithNewFile), this);
    m_file = new QLineEdit(QString::fromStdString(suggestedFile.string()), this);
    m_file->setEnabled(false);
    auto* browse = new QPushButton(Utf8(texts::kWelcomeBrowse), this);
    browse->setEnabled(false);
    connect(m_withNewFile, &QRadioButton::toggled, m_file, &QWidget::setEnabled);
    connect(m_withNewFile, &QRadioButton::toggled, browse, &QWidget::setEnabled);
    connect(browse, &QPushButton::clicked, this, &CWelcomeDlg::Browse);
    m_addresses = new COwnAddressesEdit(this);
    m_setUpMail = new QCheckBox(Utf8(texts::kWelcomeSetUpMail), this);
    auto* addressLabel = new QLabel(Utf8(texts::kWelcomeOwnAddresses), this);
    addressLabel->setBuddy(m_addresses);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CWelcomeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* start = new QGridLayout;
    start->addWidget(m_withSample, 0, 0, 1, 3);
    start->addWidget(m_withNewFile, 1, 0);
    start->addWidget(m_file, 1, 1);
    start->addWidget(browse, 1, 2);
    start->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Utf8(texts::kWelcomeIntro), this));
    layout->addLayout(start);
    layout->addWidget(addressLabel);
    layout->addWidget(m_addresses, 1);
    layout->addWidget(m_setUpMail);
    layout->addWidget(buttons);
    // The suggested path whole, as far as the screen allows.
    m_file->setMinimumWidth(std::min(m_file->fontMetrics().horizontalAdvance(m_file->text()) + 24, 720));
    resize(sizeHint().expandedTo(QSize(560, 320)));
}

void CWelcomeDlg::Browse() {
    QFileDialog dialog(this, QString(), m_file->text(), Utf8(texts::kFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(Utf8(texts::kFileExtension));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_file->setText(dialog.selectedFiles().front());
}

void CWelcomeDlg::accept() {
    FirstRunChoice choice;
    if (m_withNewFile->isChecked()) {
        const QString file = m_file->text().trimmed();
        if (file.isEmpty()) {
            QMessageBox::warning(this, windowTitle(), Utf8(texts::kWelcomeNoFileName));
            return;
        }
        choice.newFile = WithDataFileExtension(file.toStdString());
    }
    std::optional<std::vector<std::string>> own = m_addresses->Addresses(this);
    if (!own) return;
    choice.ownAddresses = std::move(*own);
    choice.setUpMailAccount = m_setUpMail->isChecked();
    m_choice = std::move(choice);
    QDialog::accept();
}

QPlainTextEdit* CWelcomeDlg::AddressEdit() const { return m_addresses; }
