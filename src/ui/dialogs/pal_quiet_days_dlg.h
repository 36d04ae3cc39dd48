// One pal's days until it counts as gone quiet ("ご無沙汰"): its own number, or the one
// for all pals.
#pragma once

#include <QDialog>
#include <optional>

class QCheckBox;
class QSpinBox;

class CPalQuietDaysDlg : public QDialog {
    Q_OBJECT
public:
    CPalQuietDaysDlg(const QString& palName, int daysForAll, std::optional<int> ownDays, QWidget* parent = nullptr);

    // The pal's own days, or nothing when it follows the days for all.
    std::optional<int> OwnDays() const;

    QCheckBox* OwnBox() const { return m_own; }
    QSpinBox* DaysBox() const { return m_days; }

private:
    QCheckBox* m_own;
    QSpinBox* m_days;
};
