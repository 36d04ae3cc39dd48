// The archive's settings: the user's own mail addresses ("自分のメールアドレス"), which
// make a mail from them a sent one, the days after which a pal has gone quiet, and the
// greeting of each month that opens a reply (時候の挨拶).
#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

class COwnAddressesEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

class CArchiveSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CArchiveSettingsDlg(QWidget* parent = nullptr);

    void SetOwnAddresses(const std::vector<std::string>& addresses);
    // One address a line; blank lines and surrounding spaces dropped. Checked at OK.
    const std::vector<std::string>& OwnAddresses() const { return m_ownAddresses; }
    void SetQuietDays(int days);
    int QuietDays() const;
    // Twelve greetings, January first (UTF-8).
    void SetGreetings(const std::array<std::string, 12>& greetings);
    std::array<std::string, 12> Greetings() const;

    QPlainTextEdit* AddressEdit() const;

    // Kept open, with a word, while a line is no address.
    void accept() override;
    QSpinBox* QuietDaysBox() const { return m_quietDays; }
    QTableWidget* GreetingsTable() const { return m_greetings; }

private:
    COwnAddressesEdit* m_addresses;
    std::vector<std::string> m_ownAddresses;
    QSpinBox* m_quietDays;
    QTableWidget* m_greetings;
};
