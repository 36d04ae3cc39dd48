// The user's own mail addresses, one a line: the one field the welcome, the accounts
// dialog and the archive settings share, so that each checks them alike.
#pragma once

#include <QPlainTextEdit>
#include <optional>
#include <string>
#include <vector>

class COwnAddressesEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit COwnAddressesEdit(QWidget* parent = nullptr);

    void SetAddresses(const std::vector<std::string>& addresses);
    // The addresses typed; none, after a word to the user over `dialog`, when a line is
    // no address.
    std::optional<std::vector<std::string>> Addresses(QWidget* dialog) const;
};
