#include "sync/connection_test.h"

#include "core/texts.h"
#include "sync/imap_check.h"

ConnectionTest TestImapConnection(const ImapServer& server, const std::string& password,
                                  const ImapSessionOptions& options, const CCancelToken& cancel) {
    ConnectionTest test;
    CImapSession session(cancel, options);
    if (session.Open(server, password)) {
        if (const std::optional<std::vector<ImapFolder>> folders = session.ListFolders()) {
            test.folders = folders->size();
            // The count is a bonus: a server that will not show INBOX still passed the test.
            if (const std::optional<ImapSelection> inbox = session.Examine("INBOX")) test.inboxMails = inbox->exists;
        }
    }
    // A failed EXAMINE is not the connection's failure.
    if (session.Failure() != ImapFailure::NoFolder) test.failure = session.Failure();
    test.streamFailure = session.StreamFailure();
    test.detail = session.Detail();
    test.certificate = session.Certificate();
    return test;
}

std::optional<ConnectionReport> RefuseBeforeConnecting(const ImapServer& server) {
    if (server.host.find_first_not_of(" \t") != std::string::npos) return std::nullopt;
    return ConnectionReport{ConnectionVerdict::NoHost, texts::kTestNoHost, {}};
}

namespace {

std::string Or(const std::string& text, const char* otherwise) { return text.empty() ? otherwise : text; }

// The words in parentheses after a sentence, or nothing.
std::string Words(std::string detail) {
    while (!detail.empty() && (detail.back() == ' ' || detail.back() == '\n')) detail.pop_back();
    return detail.empty() ? std::string() : " (" + detail + ")";
}

std::string CertificateMessage(const ConnectionTest& test) {
    const CertificateFacts& c = test.certificate;
    return CheckText(texts::kTestCertificate,
                     {Words(test.detail), Or(c.subject, texts::kTestUnknown), Or(c.issuer, texts::kTestUnknown),
                      Or(c.validFrom, texts::kTestUnknown), Or(c.validUntil, texts::kTestUnknown), c.fingerprint});
}

}  // namespace

ConnectionReport DescribeConnectionTest(const ImapServer& server, const ConnectionTest& test) {
    const std::string port = std::to_string(server.port);
    switch (test.failure) {
        case ImapFailure::None:
            if (!test.inboxMails)
                return {ConnectionVerdict::Ok, CheckText(texts::kTestOkNoInbox, {std::to_string(test.folders)}), {}};
            return {ConnectionVerdict::Ok,
                    CheckText(texts::kTestOk, {std::to_string(test.folders), std::to_string(*test.inboxMails)}),
                    {}};
        case ImapFailure::Connect:
            if (test.streamFailure == StreamError::Resolve)
                return {ConnectionVerdict::HostUnknown,
                        CheckText(texts::kTestHostUnknown, {server.host, Words(test.detail)}),
                        {}};
            return {ConnectionVerdict::Refused,
                    CheckText(texts::kTestRefused, {server.host, port, Words(test.detail)}),
                    {}};
        case ImapFailure::Login:
            return {ConnectionVerdict::Login, CheckText(texts::kTestLogin, {Words(test.detail)}), {}};
        case ImapFailure::Certificate:
            // Without a fingerprint there is nothing the user could trust.
            if (test.certificate.fingerprint.empty()) break;
            return {ConnectionVerdict::Certificate, CertificateMessage(test), test.certificate.fingerprint};
        case ImapFailure::Tls:
        case ImapFailure::OldTls:
        case ImapFailure::PlainRefused:
            return {ConnectionVerdict::Tls,
                    CheckFailureText(test.failure, server.host, test.detail, {}, test.certificate.fingerprint),
                    {}};
        default:
            break;
    }
    return {ConnectionVerdict::Other,
            CheckFailureText(test.failure, server.host, test.detail, {}, test.certificate.fingerprint),
            {}};
}
