#include "sync/imap_url.h"

#include <charconv>

namespace {

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size()) return std::nullopt;
        const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (ec != std::errc() || end != text.data() + i + 3) return std::nullopt;
        out.push_back(static_cast<char>(value));
        i += 2;
    }
    return out;
}

}  // namespace

std::optional<ImapServer> ParseImapUrl(std::string_view url) {
    ImapServer server;
    if (url.starts_with("imaps://")) {
        url.remove_prefix(8);
    } else if (url.starts_with("imap://")) {
        url.remove_prefix(7);
        server.security = ImapSecurity::StartTls;
        server.port = 143;
    } else {
        return std::nullopt;
    }
    if (const std::size_t slash = url.find('/'); slash != std::string_view::npos) {
        if (slash + 1 != url.size()) return std::nullopt;  // no folder or query in the URL
        url = url.substr(0, slash);
    }
    if (const std::size_t at = url.rfind('@'); at != std::string_view::npos) {
        std::optional<std::string> user = PercentDecoded(url.substr(0, at));
        if (!user || user->empty()) return std::nullopt;
        server.user = *user;
        url.remove_prefix(at + 1);
    }
    std::string_view host = url;
    if (host.starts_with('[')) {
        const std::size_t close = host.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        server.host = host.substr(1, close - 1);
        host.remove_prefix(close + 1);
    } else {
        const std::size_t colon = host.find(':');
        server.host = host.substr(0, colon);
        host = colon == std::string_view::npos ? std::string_view() : host.substr(colon);
    }
    if (!host.empty()) {
        if (host[0] != ':' || host.size() == 1) return std::nullopt;
        const auto [end, ec] = std::from_chars(host.data() + 1, host.data() + host.size(), server.port);
        if (ec != std::errc() || end != host.data() + host.size() || server.port == 0) return std::nullopt;
    }
    if (server.host.empty() || server.user.empty()) return std::nullopt;
    return server;
}

std::string ImapAccountKey(const ImapServer& server) {
    return server.user + "@" + server.host + ":" + std::to_string(server.port);
}
