// One IMAP connection through libetpan: log in, list, examine read-only, search by UID,
// fetch mails by UID sets with BODY.PEEK[] (no \Seen flag changes). Every call reports
// failure with a kind and the server's words, which the check turns into a message.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sync/imap_url.h"
#include "sync/net_stream.h"

struct mailimap;

enum class ImapFailure {
    None,
    Connect,       // unreachable, refused, name unknown
    Certificate,   // TLS certificate not verified and not trusted
    Tls,           // TLS failed otherwise
    PlainRefused,  // no TLS to a server that is not this machine
    Login,         // user name or password refused
    NoFolder,      // EXAMINE refused
    TimedOut,
    Cancelled,
    TooLarge,       // the server announced a literal larger than the cap
    Protocol,       // an answer that cannot be read, a refused command
    NotImap,        // the greeting is not an IMAP server's
    ClosedAtLogin,  // the connection ended before the login was through
    Closed,         // the connection ended after the login
    TooLong,        // a line or an answer longer than any server sends
    TooSlow,        // a command or the whole check outlasted its deadline
    OldTls,         // the server offers only TLS older than 1.2
};

struct ImapFolder {
    std::string wireName;     // as the server names it (modified UTF-7)
    std::string displayName;  // UTF-8
    bool sent = false;        // flagged \Sent (SPECIAL-USE)
    char delimiter = 0;       // of the folder hierarchy; 0 when flat
};

struct ImapSelection {
    std::uint32_t uidValidity = 0;
    std::uint32_t uidNext = 0;  // 0 when the server did not say
    std::uint32_t exists = 0;   // the folder's mail count (EXAMINE only)
};

struct ImapSearch {
    std::uint32_t firstUid = 1;
    std::uint32_t lastUid = 0;              // 0: up to the newest
    std::vector<std::string> addresses;     // FROM, TO or CC any of them
    int sinceYear = 0, sinceMonth = 0, sinceDay = 0;  // 0: no date bound
};

struct ImapSessionOptions {
    TlsTrust trust;
    int timeoutMs = 30000;  // the longest wait for any byte
    // The longest a command (beyond the time a big mail takes at a slow rate) and the whole
    // connection may take: a server that sends a byte now and then is cut off.
    int commandTimeoutMs = 120 * 1000;
    int checkTimeoutMs = 30 * 60 * 1000;
    std::uint64_t maxMailBytes = 64ull * 1024 * 1024;
};

// Mails by UID; a UID asked for that the server did not answer with a body is not in it.
using FetchedBodies = std::map<std::uint32_t, std::string>;

class CImapSession {
public:
    CImapSession(const CCancelToken& cancel, ImapSessionOptions options);
    ~CImapSession();
    CImapSession(const CImapSession&) = delete;
    CImapSession& operator=(const CImapSession&) = delete;

    bool Open(const ImapServer& server, const std::string& password);
    std::optional<std::vector<ImapFolder>> ListFolders();
    std::optional<ImapSelection> Examine(const std::string& wireName);
    // UIDVALIDITY and UIDNEXT without selecting the folder: the server answers from its index.
    std::optional<ImapSelection> Status(const std::string& wireName);
    // UIDs in ascending order.
    std::optional<std::vector<std::uint32_t>> Search(const ImapSearch& search);
    // RFC822.SIZE of each UID (in the order given; 0 where the server gave none).
    std::optional<std::vector<std::uint64_t>> Sizes(const std::vector<std::uint32_t>& uids);
    std::optional<std::string> Fetch(std::uint32_t uid);
    // The mails of `uids` in one command; `expectedBytes` (their sizes) lengthens its deadline.
    std::optional<FetchedBodies> FetchMany(const std::vector<std::uint32_t>& uids, std::uint64_t expectedBytes = 0);

    ImapFailure Failure() const { return m_failure; }
    // The server's or the system's words about the failure, when there are any.
    const std::string& Detail() const { return m_detail; }
    // The server certificate's SHA-256 fingerprint, once TLS has been tried.
    const std::string& Fingerprint() const { return m_stream.Fingerprint(); }
    const CertificateFacts& Certificate() const { return m_stream.Certificate(); }
    // The connection's own failure, which tells a name not found from a refused port.
    StreamError StreamFailure() const { return m_stream.Error(); }
    // True when a plain connection was made (allowed only to this machine).
    bool Plain() const { return m_plain; }

private:
    bool Fail(ImapFailure failure, int code);
    bool FailFromStream(ImapFailure otherwise);
    bool FailGreeting(int code);
    bool UpgradeAfterGreeting(const ImapServer& server);

    ImapSessionOptions m_options;
    CNetStream m_stream;
    mailimap* m_imap = nullptr;
    ImapFailure m_failure = ImapFailure::None;
    std::string m_detail;
    bool m_plain = false;
    bool m_loggedIn = false;
};
