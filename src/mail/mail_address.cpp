#include "mail/mail_address.h"

namespace {

constexpr std::size_t kMaxLocalPart = 64;
constexpr std::size_t kMaxDomain = 255;

bool HasAllowedCharacters(std::string_view text) {
    for (unsigned char c : text) {
        if (c <= ' ' || c == 0x7F) return false;
        if (std::string_view("<>()[]\\,;:\"@").find(static_cast<char>(c)) != std::string_view::npos) return false;
    }
    return true;
}

// Dot-separated parts, none of them empty.
bool HasNoEmptyPart(std::string_view text) {
    return !text.empty() && !text.starts_with('.') && !text.ends_with('.') && text.find("..") == std::string_view::npos;
}

}  // namespace

bool IsMailAddress(std::string_view text) {
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos) return false;
    const std::string_view local = text.substr(0, at);
    const std::string_view domain = text.substr(at + 1);
    return local.size() <= kMaxLocalPart && domain.size() <= kMaxDomain && HasAllowedCharacters(local) &&
           HasAllowedCharacters(domain) && HasNoEmptyPart(local) && HasNoEmptyPart(domain);
}

AddressLines ReadAddressLines(std::string_view text) {
    AddressLines result;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (!IsMailAddress(line)) {
            result.refused = line;
            return result;
        }
        result.addresses.emplace_back(line);
    }
    return result;
}
