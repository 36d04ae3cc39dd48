// "接続を確認" of the accounts dialog: connect, log in, list the folders and count the
// inbox's mails, then tell the user what was found or what failed, with the facts of a
// certificate that did not verify so that the user can trust it there and then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "sync/imap_session.h"

struct ConnectionTest {
    ImapFailure failure = ImapFailure::None;
    StreamError streamFailure = StreamError::None;
    std::string detail;  // the server's or the system's words
    std::size_t folders = 0;
    std::optional<std::uint32_t> inboxMails;  // none when INBOX could not be looked at
    CertificateFacts certificate;             // empty when no TLS was tried
};

// Runs on a worker thread; `cancel` ends it from any other.
ConnectionTest TestImapConnection(const ImapServer& server, const std::string& password,
                                  const ImapSessionOptions& options, const CCancelToken& cancel);

enum class ConnectionVerdict { Ok, NoHost, HostUnknown, Refused, Login, Certificate, Tls, Other };

struct ConnectionReport {
    ConnectionVerdict verdict = ConnectionVerdict::Other;
    std::string message;  // UTF-8
    // Only for a certificate that did not verify: trusting it makes the next try pass.
    std::string fingerprintToTrust;
};

// A server without a name is not tried: that report comes before any connection.
std::optional<ConnectionReport> RefuseBeforeConnecting(const ImapServer& server);
ConnectionReport DescribeConnectionTest(const ImapServer& server, const ConnectionTest& test);
