// The archive's settings: the user's own mail addresses ("自分のメールアドレス"), which
// make a mail from them a sent one, and the days after which a pal has gone quiet.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;
class QSpinBox;

class CArchiveSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CArchiveSettingsDlg(QWidget* parent = nullptr);

    void SetOwnAddresses(const std::vector<std::string>& addresses);
    // One address a line; blank lines and surrounding spaces dropped.
    std::vector<std::string> OwnAddresses() const;
    void SetQuietDays(int days);
    int QuietDays() const;

    QPlainTextEdit* AddressEdit() const { return m_addresses; }
    QSpinBox* QuietDaysBox() const { return m_quietDays; }

private:
    QPlainTextEdit* m_addresses;
    QSpinBox* m_quietDays;
};
