// HTTPS requests for the address book sync through libcurl: TLS verified against the
// system's or a given CA, or a certificate the user trusted by its SHA-256 fingerprint
// (pinned by its public key after the fingerprint matched, before any password is sent);
// redirects never followed here; answers above a cap refused; time-outs on every wait.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sync/net_stream.h"

struct DavResponse {
    long status = 0;
    std::string body;
    std::string etag;
    std::string location;
};

// Why a request got no answer, as far as the user can act on it.
enum class DavFailure { None, Unreachable, Certificate, Other };

struct DavRequest {
    std::string method;
    std::string url;
    std::vector<std::string> headers;  // "Name: value"
    std::string body;
};

class CDavHttp {
public:
    CDavHttp(std::string user, std::string password, TlsTrust trust, std::size_t maxAnswerBytes);
    ~CDavHttp();
    CDavHttp(const CDavHttp&) = delete;
    CDavHttp& operator=(const CDavHttp&) = delete;

    // The server's answer, or nothing with Error() set (no connection, TLS refused, an
    // answer above the cap, a time-out).
    std::optional<DavResponse> Send(const DavRequest& request);
    const std::string& Error() const { return m_error; }
    DavFailure Failure() const { return m_failure; }
    // The SHA-256 fingerprint of the server's certificate when it was refused.
    const std::string& Fingerprint() const { return m_fingerprint; }

private:
    bool PinTrustedCertificate(const std::string& url);
    // Records why curl's `code` ended the request to `url`.
    void Failed(int code, const std::string& url);

    void* m_curl;
    std::string m_user, m_password;
    TlsTrust m_trust;
    std::size_t m_maxAnswerBytes;
    std::string m_pin;  // "sha256//..." of the trusted certificate's public key
    std::string m_error;
    DavFailure m_failure = DavFailure::None;
    std::string m_fingerprint;
};

// The SHA-256 fingerprint ("AB:CD:...") and public key pin ("sha256//BASE64") of a PEM
// certificate; nothing when it does not read.
struct CertificateIds {
    std::string fingerprint, pin;
};
std::optional<CertificateIds> IdsOfCertificate(const std::string& pem);
