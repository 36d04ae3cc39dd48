// The connection under an IMAP session: TCP with a time-out on every wait and deadlines per
// command and for the whole connection, TLS 1.2 or newer through GnuTLS verified against
// the system's or a given CA, a cancel that works from any thread, and caps on the literals,
// lines and answers the server may send. libetpan reads and writes through it
// (MakeMailstream), so no wait can outlast a time-out, a deadline or a cancel.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "sync/literal_guard.h"

struct _mailstream;

enum class StreamError {
    None,
    Resolve,
    Connect,
    TimedOut,  // no byte for the time-out
    Cancelled,
    Closed,
    Tls,
    Certificate,
    TooLarge,  // a literal above the cap
    Io,
    TooLong,     // a line or an answer above its cap
    TooSlow,     // a command's or the connection's deadline passed
    OldTls,      // the server offers only TLS older than 1.2
    Unreadable,  // a status line the protocol library must not read; the detail is its start
};

struct StreamDeadlines {
    std::chrono::milliseconds command{0};  // 0: none; counted from each command sent
    std::chrono::milliseconds whole{0};    // 0: none; counted from SetDeadlines
};

struct TlsTrust {
    std::string caFile;              // PEM; empty: the system's certificates
    std::string trustedFingerprint;  // SHA-256 of a certificate accepted although it does not verify
};

// What a user needs to judge a server certificate before trusting it.
struct CertificateFacts {
    std::string subject;      // RFC 4514
    std::string issuer;       // RFC 4514
    std::string validFrom;    // YYYY-MM-DD (UTC)
    std::string validUntil;   // YYYY-MM-DD (UTC)
    std::string fingerprint;  // SHA-256, "AB:CD:..."
};

// Signalled from any thread; every wait of the streams holding it returns at once.
class CCancelToken {
public:
    CCancelToken();
    ~CCancelToken();
    CCancelToken(const CCancelToken&) = delete;
    CCancelToken& operator=(const CCancelToken&) = delete;

    void Cancel();
    bool Cancelled() const { return m_cancelled.load(); }
    int Fd() const { return m_fd; }

private:
    int m_fd;
    std::atomic<bool> m_cancelled{false};
};

class CNetStream {
public:
    CNetStream(const CCancelToken& cancel, int timeoutMs, std::uint64_t literalCap);
    ~CNetStream();
    CNetStream(const CNetStream&) = delete;
    CNetStream& operator=(const CNetStream&) = delete;

    bool Connect(const std::string& host, std::uint16_t port);
    // Whether the connected peer is this machine (a plain connection is allowed only then).
    bool PeerIsLoopback() const;
    // TLS over the open connection (at once for SSL/TLS, after STARTTLS otherwise).
    bool StartTls(const std::string& host, const TlsTrust& trust);

    ssize_t Read(void* buffer, std::size_t size);
    ssize_t Write(const void* data, std::size_t size);
    void Close();

    // A libetpan stream over this object; it must not outlive this object.
    _mailstream* MakeMailstream();

    StreamError Error() const { return m_error; }
    const std::string& ErrorDetail() const { return m_detail; }
    // The SHA-256 fingerprint of the server's certificate ("AB:CD:..."), once TLS is up.
    const std::string& Fingerprint() const { return m_fingerprint; }
    // The server certificate's subject, issuer and dates, once TLS has been tried.
    const CertificateFacts& Certificate() const { return m_certificate; }
    std::uint64_t RefusedLiteral() const { return m_guard.Refused(); }
    void SetLiteralCap(std::uint64_t cap) { m_guard.SetCap(cap); }
    void SetDeadlines(const StreamDeadlines& deadlines);
    // The next command's answer may take longer by the time `bytes` take at a slow but
    // honest rate (a big mail on a slow line).
    void ExpectBytes(std::uint64_t bytes) { m_expectedBytes = bytes; }

private:
    bool Wait(short events);
    bool Fail(StreamError error, std::string detail = {});
    bool FailGuard();
    void StartCommand();
    bool Handshake();
    bool FailHandshake(int code);
    bool FailRecord(long code);
    bool CheckCertificate(const std::string& host, const TlsTrust& trust);

    const CCancelToken& m_cancel;
    int m_timeoutMs;
    StreamDeadlines m_deadlines;
    std::chrono::steady_clock::time_point m_commandEnd{std::chrono::steady_clock::time_point::max()};
    std::chrono::steady_clock::time_point m_wholeEnd{std::chrono::steady_clock::time_point::max()};
    std::uint64_t m_expectedBytes = 0;
    bool m_readSinceWrite = true;  // the next write starts a command
    int m_fd = -1;
    void* m_tls = nullptr;   // gnutls_session_t
    void* m_creds = nullptr;  // gnutls_certificate_credentials_t
    CLiteralGuard m_guard;
    StreamError m_error = StreamError::None;
    std::string m_detail;
    std::string m_fingerprint;
    CertificateFacts m_certificate;
};

// "ab:CD:01..." and "AbCd01..." compare equal.
bool SameFingerprint(const std::string& a, const std::string& b);
