#include "mail/mail_link.h"

#include "core/cp932.h"
#include "core/shell_hand_off.h"

namespace {

bool StaysInMailtoUrl(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return c != '\0' && std::string_view("-._~!$'()*+,;:@").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string MakeMailtoLink(const std::vector<std::string>& addresses) {
    std::string link(kMailtoScheme);
    for (const std::string& address : addresses) {
        link += address;
        link += "; ";
    }
    return link;
}

void SendMailToSelected(CYubinoApp& app) {
    CUserInterface& ui = app.UI();
    HandOffToDesktop(ui, MakeMailtoLink(ui.GetSelectedAddresses()));
}

std::string MailtoLinkToUrl(std::string_view link) {
    static constexpr std::string_view kSeparator = "; ";
    std::string_view rest = link.substr(link.starts_with(kMailtoScheme) ? kMailtoScheme.size() : 0);
    std::string recipients;
    while (!rest.empty()) {
        const std::size_t end = rest.find(kSeparator);
        const std::string_view address = rest.substr(0, end);
        if (!address.empty()) {
            if (!recipients.empty()) recipients += ',';
            recipients += address;
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + kSeparator.size());
    }
    return std::string(kMailtoScheme) + PercentEncodeForMailto(cp932::ToUtf8(recipients));
}

std::string PercentEncodeForMailto(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(MailtoEncodedLength(utf8));
    for (unsigned char c : utf8) {
        if (StaysInMailtoUrl(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::size_t MailtoEncodedLength(std::string_view utf8) {
    std::size_t length = 0;
    for (unsigned char c : utf8) length += StaysInMailtoUrl(c) ? 1 : 3;
    return length;
}

bool IsEncodedMailtoUrl(std::string_view target) {
    return target.starts_with(kMailtoScheme) && target.find(' ') == std::string_view::npos;
}
