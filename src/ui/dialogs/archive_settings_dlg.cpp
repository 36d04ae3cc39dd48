#include "ui/dialogs/archive_settings_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/texts.h"

CArchiveSettingsDlg::CArchiveSettingsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(texts::kArchiveSettingsTitle));
    m_addresses = new QPlainTextEdit(this);
    m_addresses->setTabChangesFocus(true);
    m_quietDays = new QSpinBox(this);
    m_quietDays->setRange(1, 3650);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(texts::kOwnAddressesLabel), this));
    layout->addWidget(m_addresses);
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(texts::kQuietDaysLabel), m_quietDays);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(360, 260);
}

void CArchiveSettingsDlg::SetOwnAddresses(const std::vector<std::string>& addresses) {
    QStringList lines;
    for (const std::string& address : addresses) lines << QString::fromStdString(address);
    m_addresses->setPlainText(lines.join(QLatin1Char('\n')));
}

std::vector<std::string> CArchiveSettingsDlg::OwnAddresses() const {
    std::vector<std::string> addresses;
    for (const QString& line : m_addresses->toPlainText().split(QLatin1Char('\n'))) {
        const QString address = line.trimmed();
        if (!address.isEmpty()) addresses.push_back(address.toStdString());
    }
    return addresses;
}

void CArchiveSettingsDlg::SetQuietDays(int days) { m_quietDays->setValue(days); }

int CArchiveSettingsDlg::QuietDays() const { return m_quietDays->value(); }
