// The archive's settings: the user's own mail addresses ("自分のメールアドレス"), which
// make a mail from them a sent one, the days after which a pal has gone quiet, and the
// greeting of each month that opens a reply (時候の挨拶).
#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

class CArchiveSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CArchiveSettingsDlg(QWidget* parent = nullptr);

    void SetOwnAddresses(const std::vector<std::string>& addresses);
    // One address a line; blank lines and surrounding spaces dropped.
    std::vector<std::string> OwnAddresses() const;
    void SetQuietDays(int days);
    int QuietDays() const;
    // Twelve greetings, January first (UTF-8).
    void SetGreetings(const std::array<std::string, 12>& greetings);
    std::array<std::string, 12> Greetings() const;

    QPlainTextEdit* AddressEdit() const { return m_addresses; }
    QSpinBox* QuietDaysBox() const { return m_quietDays; }
    QTableWidget* GreetingsTable() const { return m_greetings; }

private:
    QPlainTextEdit* m_addresses;
    QSpinBox* m_quietDays;
    QTableWidget* m_greetings;
};
