// Where an IMAP account lives and how to reach it, and the URL form scripts give it in:
// imaps://user@host:port/ (SSL/TLS) or imap://user@host:port/ (STARTTLS; plain only to
// this machine when the server offers no STARTTLS).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class ImapSecurity { Tls, StartTls, Plain };

struct ImapServer {
    std::string host;
    std::uint16_t port = 993;
    ImapSecurity security = ImapSecurity::Tls;
    std::string user;
    bool operator==(const ImapServer&) const = default;
};

// Nullopt when the text is no such URL. "%40" and the like in the user name are decoded.
std::optional<ImapServer> ParseImapUrl(std::string_view url);
// The account's name in messages and in the sync state: "user@host:port".
std::string ImapAccountKey(const ImapServer& server);
