#include "archive/mail_record.h"

#include <algorithm>

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsOwn(std::string_view address, const std::vector<std::string>& ownAddresses) {
    return std::any_of(ownAddresses.begin(), ownAddresses.end(),
                       [&](const std::string& own) { return SameAddress(own, address); });
}

}  // namespace

std::string JoinAddresses(const std::vector<std::string>& addresses) {
    std::string joined;
    for (const std::string& address : addresses) {
        if (address.empty()) continue;
        if (!joined.empty()) joined += '\n';
        joined += address;
    }
    return joined;
}

std::vector<std::string> SplitAddresses(std::string_view joined) {
    std::vector<std::string> addresses;
    while (!joined.empty()) {
        const std::size_t end = joined.find('\n');
        if (end != 0) addresses.emplace_back(joined.substr(0, end));
        if (end == std::string_view::npos) break;
        joined.remove_prefix(end + 1);
    }
    return addresses;
}

bool SameAddress(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::vector<MailRecord> FileMail(const MailRecord& mail, const std::vector<std::string>& ownAddresses,
                                 const FindPalFn& findPal) {
    std::vector<MailRecord> filed;
    auto fileUnder = [&](const std::string& pal, MailDirection direction) {
        for (const MailRecord& done : filed)
            if (done.pal == pal) return;  // named twice among the recipients
        MailRecord copy = mail;
        copy.pal = pal;
        copy.direction = direction;
        filed.push_back(std::move(copy));
    };
    if (!mail.pal.empty()) {
        filed.push_back(mail);
        return filed;
    }
    if (!IsOwn(mail.from, ownAddresses)) {
        if (const auto pal = findPal(mail.from)) fileUnder(*pal, MailDirection::Received);
        return filed;
    }
    for (const auto* list : {&mail.to, &mail.cc}) {
        for (const std::string& recipient : *list) {
            if (IsOwn(recipient, ownAddresses)) continue;
            if (const auto pal = findPal(recipient)) fileUnder(*pal, MailDirection::Sent);
        }
    }
    return filed;
}
