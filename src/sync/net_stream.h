// The connection under an IMAP session: TCP with a time-out on every wait, TLS through
// GnuTLS verified against the system's or a given CA, a cancel that works from any
// thread, and a cap on the literals the server may announce. libetpan reads and writes
// through it (MakeMailstream), so no wait can outlast the time-out or a cancel.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "sync/literal_guard.h"

struct _mailstream;

enum class StreamError { None, Resolve, Connect, TimedOut, Cancelled, Closed, Tls, Certificate, TooLarge, Io };

struct TlsTrust {
    std::string caFile;              // PEM; empty: the system's certificates
    std::string trustedFingerprint;  // SHA-256 of a certificate accepted although it does not verify
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
    std::uint64_t RefusedLiteral() const { return m_guard.Refused(); }
    void SetLiteralCap(std::uint64_t cap) { m_guard.SetCap(cap); }

private:
    bool Wait(short events);
    bool Fail(StreamError error, std::string detail = {});
    bool Handshake();
    bool CheckCertificate(const std::string& host, const TlsTrust& trust);

    const CCancelToken& m_cancel;
    int m_timeoutMs;
    int m_fd = -1;
    void* m_tls = nullptr;   // gnutls_session_t
    void* m_creds = nullptr;  // gnutls_certificate_credentials_t
    CLiteralGuard m_guard;
    StreamError m_error = StreamError::None;
    std::string m_detail;
    std::string m_fingerprint;
};

// "ab:CD:01..." and "AbCd01..." compare equal.
bool SameFingerprint(const std::string& a, const std::string& b);
