#include "ui/dialogs/archive_settings_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/texts.h"
#include "ui/dialogs/own_addresses_edit.h"

CArchiveSettingsDlg::CArchiveSettingsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(texts::kArchiveSettingsTitle));
    m_addresses = new COwnAddressesEdit(this);
    m_quietDays = new QSpinBox(this);
    m_quietDays->setRange(1, 3650);
    m_greetings = new QTableWidget(12, 1, this);
    m_greetings->horizontalHeader()->hide();
    m_greetings->horizontalHeader()->setStretchLastSection(true);
    m_greetings->setTabKeyNavigation(false);
    for (int month = 0; month < 12; ++month) {
        m_greetings->setVerticalHeaderItem(
            month, new QTableWidgetItem(QString::fromUtf8(texts::kGreetingMonth).arg(month + 1)));
        m_greetings->setItem(month, 0, new QTableWidgetItem);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CArchiveSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(texts::kOwnAddressesLabel), this));
    layout->addWidget(m_addresses);
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(texts::kQuietDaysLabel), m_quietDays);
    layout->addLayout(form);
    auto* greetingsLabel = new QLabel(QString::fromUtf8(texts::kGreetingsLabel), this);
    greetingsLabel->setBuddy(m_greetings);
    layout->addWidget(greetingsLabel);
    layout->addWidget(m_greetings, 1);
    layout->addWidget(buttons);
    resize(480, 560);
}

void CArchiveSettingsDlg::SetOwnAddresses(const std::vector<std::string>& addresses) {
    m_ownAddresses = addresses;
    m_addresses->SetAddresses(addresses);
}

QPlainTextEdit* CArchiveSettingsDlg::AddressEdit() const { return m_addresses; }

void CArchiveSettingsDlg::accept() {
    std::optional<std::vector<std::string>> own = m_addresses->Addresses(this);
    if (!own) return;
    m_ownAddresses = std::move(*own);
    QDialog::accept();
}

void CArchiveSettingsDlg::SetQuietDays(int days) { m_quietDays->setValue(days); }

int CArchiveSettingsDlg::QuietDays() const { return m_quietDays->value(); }

void CArchiveSettingsDlg::SetGreetings(const std::array<std::string, 12>& greetings) {
    for (int month = 0; month < 12; ++month)
        m_greetings->item(month, 0)->setText(QString::fromStdString(greetings[static_cast<std::size_t>(month)]));
}

std::array<std::string, 12> CArchiveSettingsDlg::Greetings() const {
    std::array<std::string, 12> greetings;
    for (int month = 0; month < 12; ++month)
        greetings[static_cast<std::size_t>(month)] = m_greetings->item(month, 0)->text().trimmed().toStdString();
    return greetings;
}
