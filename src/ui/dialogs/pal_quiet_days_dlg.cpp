#include "ui/dialogs/pal_quiet_days_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/texts.h"

CPalQuietDaysDlg::CPalQuietDaysDlg(const QString& palName, int daysForAll, std::optional<int> ownDays,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(texts::kQuietDaysLabel));
    m_own = new QCheckBox(QString::fromUtf8(texts::kPalQuietDaysOwn), this);
    m_own->setChecked(ownDays.has_value());
    m_days = new QSpinBox(this);
    m_days->setRange(1, 3650);  // as the settings for all
    m_days->setValue(ownDays.value_or(daysForAll));
    m_days->setEnabled(ownDays.has_value());
    connect(m_own, &QCheckBox::toggled, m_days, &QWidget::setEnabled);
    auto* forAll = new QLabel(QString::fromUtf8(texts::kPalQuietDaysForAll).replace(QStringLiteral("%d"),
                                                                                    QString::number(daysForAll)),
                              this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(palName, this));
    layout->addWidget(forAll);
    auto* form = new QFormLayout;
    form->addRow(m_own, m_days);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::optional<int> CPalQuietDaysDlg::OwnDays() const {
    return m_own->isChecked() ? std::optional(m_days->value()) : std::nullopt;
}
