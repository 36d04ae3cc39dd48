#include "ui/dialogs/own_addresses_edit.h"

#include <QMessageBox>

#include "core/texts.h"
#include "mail/mail_address.h"

COwnAddressesEdit::COwnAddressesEdit(QWidget* parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }

void COwnAddressesEdit::SetAddresses(const std::vector<std::string>& addresses) {
    QStringList lines;
    for (const std::string& address : addresses) lines << QString::fromStdString(address);
    setPlainText(lines.join(QLatin1Char('\n')));
}

std::optional<std::vector<std::string>> COwnAddressesEdit::Addresses(QWidget* dialog) const {
    AddressLines own = ReadAddressLines(toPlainText().toStdString());
    if (own.refused.empty()) return std::move(own.addresses);
    QMessageBox::warning(
        dialog, dialog->windowTitle(),
        QString::fromUtf8(texts::kNotAnAddress).replace(QStringLiteral("%s"), QString::fromStdString(own.refused)));
    return std::nullopt;
}
