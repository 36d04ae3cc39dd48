#include "sync/net_stream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gnutls/gnutls.h>
#include <gnutls/x509.h>
#include <libetpan/libetpan.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

// Version 1.2 at least: older ones are broken, and a server that offers nothing newer is
// refused rather than sent the password over them.
constexpr const char* kTlsPriority = "NORMAL:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2";

// The slowest rate at which a big mail is still waited for, beyond the command's deadline.
constexpr std::uint64_t kSlowestBytesPerSecond = 16 * 1024;

gnutls_session_t Session(void* p) { return static_cast<gnutls_session_t>(p); }

std::string HexFingerprint(const unsigned char* digest, std::size_t size) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (i) out.push_back(':');
        out.push_back(kHex[digest[i] >> 4]);
        out.push_back(kHex[digest[i] & 15]);
    }
    return out;
}

std::string FingerprintDigits(const std::string& text) {
    std::string out;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

std::string UtcDay(std::time_t when) {
    std::tm day{};
    char text[16] = "";
    if (when != static_cast<std::time_t>(-1) && gmtime_r(&when, &day))
        std::strftime(text, sizeof text, "%Y-%m-%d", &day);
    return text;
}

std::string TakeDatum(gnutls_datum_t& datum) {
    std::string text(reinterpret_cast<const char*>(datum.data), datum.size);
    gnutls_free(datum.data);
    return text;
}

// Subject, issuer and dates of a DER certificate; empty where it cannot be read.
CertificateFacts FactsOf(const gnutls_datum_t& der) {
    CertificateFacts facts;
    gnutls_x509_crt_t crt;
    if (gnutls_x509_crt_init(&crt) < 0) return facts;
    if (gnutls_x509_crt_import(crt, &der, GNUTLS_X509_FMT_DER) >= 0) {
        gnutls_datum_t dn{};
        if (gnutls_x509_crt_get_dn3(crt, &dn, 0) >= 0) facts.subject = TakeDatum(dn);
        if (gnutls_x509_crt_get_issuer_dn3(crt, &dn, 0) >= 0) facts.issuer = TakeDatum(dn);
        facts.validFrom = UtcDay(gnutls_x509_crt_get_activation_time(crt));
        facts.validUntil = UtcDay(gnutls_x509_crt_get_expiration_time(crt));
    }
    gnutls_x509_crt_deinit(crt);
    return facts;
}

bool IsIpAddress(const std::string& host) {
    unsigned char buffer[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// libetpan's side of the stream: every call goes to the CNetStream in `data`.
CNetStream* Owner(mailstream_low* low) { return static_cast<CNetStream*>(low->data); }
ssize_t LowRead(mailstream_low* low, void* buffer, size_t size) { return Owner(low)->Read(buffer, size); }
ssize_t LowWrite(mailstream_low* low, const void* data, size_t size) { return Owner(low)->Write(data, size); }
int LowClose(mailstream_low* low) {
    Owner(low)->Close();
    return 0;
}
int LowFd(mailstream_low*) { return -1; }
void LowFree(mailstream_low* low) { std::free(low); }
void LowCancel(mailstream_low*) {}
struct mailstream_cancel* LowGetCancel(mailstream_low*) { return nullptr; }
carray* LowChain(mailstream_low*) { return nullptr; }

mailstream_low_driver g_lowDriver = {LowRead, LowWrite, LowClose, LowFd,   LowFree, LowCancel,
                                     LowGetCancel, LowChain, nullptr, nullptr, nullptr};

}  // namespace

bool SameFingerprint(const std::string& a, const std::string& b) {
    const std::string da = FingerprintDigits(a);
    return !da.empty() && da == FingerprintDigits(b);
}

CCancelToken::CCancelToken() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
CCancelToken::~CCancelToken() {
    if (m_fd >= 0) ::close(m_fd);
}
void CCancelToken::Cancel() {
    m_cancelled = true;
    const std::uint64_t one = 1;
    if (::write(m_fd, &one, sizeof one) < 0) {
        // The counter is already set: every wait sees it.
    }
}

CNetStream::CNetStream(const CCancelToken& cancel, int timeoutMs, std::uint64_t literalCap)
    : m_cancel(cancel), m_timeoutMs(timeoutMs), m_guard(literalCap) {}

CNetStream::~CNetStream() { Close(); }

bool CNetStream::Fail(StreamError error, std::string detail) {
    if (m_error == StreamError::None) {
        m_error = error;
        m_detail = std::move(detail);
    }
    return false;
}

void CNetStream::SetDeadlines(const StreamDeadlines& deadlines) {
    m_deadlines = deadlines;
    m_wholeEnd = deadlines.whole.count() > 0 ? Clock::now() + deadlines.whole : Clock::time_point::max();
    StartCommand();
}

// A server that sends a byte now and then never meets the time-out of a wait: each command,
// and the whole connection, has a deadline of its own.
void CNetStream::StartCommand() {
    m_guard.NewCommand();
    m_readSinceWrite = false;
    if (m_deadlines.command.count() <= 0) return;
    const auto extra = std::chrono::seconds(m_expectedBytes / kSlowestBytesPerSecond);
    m_commandEnd = Clock::now() + m_deadlines.command + extra;
    m_expectedBytes = 0;
}

// Waits until the socket is ready for `events`, the time-out or a deadline passes, or the
// check is cancelled.
bool CNetStream::Wait(short events) {
    if (m_cancel.Cancelled()) return Fail(StreamError::Cancelled);
    pollfd fds[2] = {{m_fd, events, 0}, {m_cancel.Fd(), POLLIN, 0}};
    for (;;) {
        const Clock::time_point deadline = std::min(m_commandEnd, m_wholeEnd);
        int waitMs = m_timeoutMs;
        StreamError expired = StreamError::TimedOut;
        if (deadline != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return Fail(StreamError::TooSlow);
            if (left <= waitMs) {
                waitMs = static_cast<int>(left);
                expired = StreamError::TooSlow;
            }
        }
        const int n = ::poll(fds, 2, waitMs);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(StreamError::Io, std::strerror(errno));
        if (n == 0) return Fail(expired);
        if (fds[1].revents || m_cancel.Cancelled()) return Fail(StreamError::Cancelled);
        return true;
    }
}

bool CNetStream::Connect(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int r = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (r != 0) return Fail(StreamError::Resolve, gai_strerror(r));
    std::string lastError = "no address";
    for (addrinfo* ai = found; ai; ai = ai->ai_next) {
        m_fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (m_fd < 0) continue;
        if (::connect(m_fd, ai->ai_addr, ai->ai_addrlen) == 0 || errno == EINPROGRESS) {
            int soError = 0;
            socklen_t len = sizeof soError;
            if (Wait(POLLOUT) && getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &soError, &len) == 0 && soError == 0) {
                // Each command is one short write answered at once: no waiting for more to send.
                const int one = 1;
                setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                freeaddrinfo(found);
                return true;
            }
            if (m_error == StreamError::Cancelled || m_error == StreamError::TimedOut) break;
            lastError = std::strerror(soError);
        } else {
            lastError = std::strerror(errno);
        }
        ::close(m_fd);
        m_fd = -1;
    }
    freeaddrinfo(found);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return Fail(StreamError::Connect, lastError);
}

bool CNetStream::PeerIsLoopback() const {
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    if (m_fd < 0 || getpeername(m_fd, reinterpret_cast<sockaddr*>(&peer), &len) != 0) return false;
    if (peer.ss_family == AF_INET)
        return (ntohl(reinterpret_cast<sockaddr_in*>(&peer)->sin_addr.s_addr) >> 24) == 127;
    if (peer.ss_family == AF_INET6) {
        const in6_addr& a = reinterpret_cast<sockaddr_in6*>(&peer)->sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&a) || (IN6_IS_ADDR_V4MAPPED(&a) && a.s6_addr[12] == 127);
    }
    return false;
}

bool CNetStream::StartTls(const std::string& host, const TlsTrust& trust) {
    gnutls_certificate_credentials_t creds = nullptr;
    gnutls_certificate_allocate_credentials(&creds);
    m_creds = creds;
    const int loaded = trust.caFile.empty() ? gnutls_certificate_set_x509_system_trust(creds)
                                            : gnutls_certificate_set_x509_trust_file(creds, trust.caFile.c_str(), GNUTLS_X509_FMT_PEM);
    if (loaded < 0 || (!trust.caFile.empty() && loaded == 0))
        return Fail(StreamError::Tls, trust.caFile.empty() ? gnutls_strerror(loaded) : trust.caFile);
    gnutls_session_t session = nullptr;
    gnutls_init(&session, GNUTLS_CLIENT | GNUTLS_NONBLOCK);
    m_tls = session;
    if (gnutls_priority_set_direct(session, kTlsPriority, nullptr) < 0) return Fail(StreamError::Tls, "priority");
    gnutls_credentials_set(session, GNUTLS_CRD_CERTIFICATE, creds);
    if (!IsIpAddress(host)) gnutls_server_name_set(session, GNUTLS_NAME_DNS, host.data(), host.size());
    gnutls_transport_set_int(session, m_fd);
    return Handshake() && CheckCertificate(host, trust);
}

bool CNetStream::Handshake() {
    for (;;) {
        const int r = gnutls_handshake(Session(m_tls));
        if (r == GNUTLS_E_SUCCESS) return true;
        if (gnutls_error_is_fatal(r)) return FailHandshake(r);
        if (!Wait(gnutls_record_get_direction(Session(m_tls)) ? POLLOUT : POLLIN)) return false;
    }
}

bool CNetStream::FailHandshake(int code) {
    const bool oldVersion =
        code == GNUTLS_E_UNSUPPORTED_VERSION_PACKET ||
        (code == GNUTLS_E_FATAL_ALERT_RECEIVED && gnutls_alert_get(Session(m_tls)) == GNUTLS_A_PROTOCOL_VERSION);
    if (oldVersion) return Fail(StreamError::OldTls, gnutls_strerror(code));
    if (code == GNUTLS_E_PREMATURE_TERMINATION || code == GNUTLS_E_PULL_ERROR || code == GNUTLS_E_PUSH_ERROR)
        return Fail(StreamError::Closed, gnutls_strerror(code));
    return Fail(StreamError::Tls, gnutls_strerror(code));
}

// Once TLS is up, a failure of a record is the connection's: a server gone away, not a
// TLS start that failed.
bool CNetStream::FailRecord(long code) {
    const int r = static_cast<int>(code);
    if (r == GNUTLS_E_PREMATURE_TERMINATION || r == GNUTLS_E_PULL_ERROR || r == GNUTLS_E_PUSH_ERROR)
        return Fail(StreamError::Closed, gnutls_strerror(r));
    return Fail(StreamError::Io, gnutls_strerror(r));
}

bool CNetStream::CheckCertificate(const std::string& host, const TlsTrust& trust) {
    unsigned int count = 0;
    const gnutls_datum_t* chain = gnutls_certificate_get_peers(Session(m_tls), &count);
    if (!chain || count == 0) return Fail(StreamError::Certificate, "no certificate");
    unsigned char digest[32];
    std::size_t size = sizeof digest;
    if (gnutls_fingerprint(GNUTLS_DIG_SHA256, &chain[0], digest, &size) < 0)
        return Fail(StreamError::Certificate, "no fingerprint");
    m_fingerprint = HexFingerprint(digest, size);
    m_certificate = FactsOf(chain[0]);
    m_certificate.fingerprint = m_fingerprint;
    unsigned int status = 0;
    if (gnutls_certificate_verify_peers3(Session(m_tls), host.c_str(), &status) < 0) status = GNUTLS_CERT_INVALID;
    if (status == 0) return true;
    if (!trust.trustedFingerprint.empty() && SameFingerprint(trust.trustedFingerprint, m_fingerprint)) return true;
    gnutls_datum_t reason{};
    std::string why = "invalid";
    if (gnutls_certificate_verification_status_print(status, GNUTLS_CRT_X509, &reason, 0) == 0) {
        why.assign(reinterpret_cast<const char*>(reason.data), reason.size);
        gnutls_free(reason.data);
    }
    return Fail(StreamError::Certificate, why);
}

bool CNetStream::FailGuard() {
    switch (m_guard.Refusal()) {
        case GuardRefusal::Literal:
            return Fail(StreamError::TooLarge);
        case GuardRefusal::Syntax:
            return Fail(StreamError::Unreadable, m_guard.RefusedLine());
        case GuardRefusal::Line:
        case GuardRefusal::Response:
        case GuardRefusal::None:
            break;
    }
    return Fail(StreamError::TooLong);
}

ssize_t CNetStream::Read(void* buffer, std::size_t size) {
    if (m_error != StreamError::None || m_fd < 0) return -1;
    for (;;) {
        const bool pending = m_tls && gnutls_record_check_pending(Session(m_tls)) > 0;
        if (!pending && !Wait(POLLIN)) return -1;
        ssize_t n;
        if (m_tls) {
            n = gnutls_record_recv(Session(m_tls), buffer, size);
            if (n == GNUTLS_E_AGAIN || n == GNUTLS_E_INTERRUPTED) continue;
            if (n < 0) return FailRecord(n), -1;
        } else {
            n = ::recv(m_fd, buffer, size, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n < 0)
                return Fail(errno == ECONNRESET ? StreamError::Closed : StreamError::Io, std::strerror(errno)), -1;
        }
        if (n == 0) return Fail(StreamError::Closed), -1;
        m_readSinceWrite = true;
        if (!m_guard.Feed(static_cast<const char*>(buffer), static_cast<std::size_t>(n))) return FailGuard(), -1;
        return n;
    }
}

ssize_t CNetStream::Write(const void* data, std::size_t size) {
    if (m_error != StreamError::None || m_fd < 0) return -1;
    if (m_readSinceWrite) StartCommand();
    const char* p = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        ssize_t n;
        if (m_tls) {
            n = gnutls_record_send(Session(m_tls), p, left);
            if (n == GNUTLS_E_AGAIN || n == GNUTLS_E_INTERRUPTED) {
                if (!Wait(POLLOUT)) return -1;
                continue;
            }
            if (n < 0) return FailRecord(n), -1;
        } else {
            n = ::send(m_fd, p, left, MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                if (!Wait(POLLOUT)) return -1;
                continue;
            }
            if (n < 0)
                return Fail(errno == EPIPE || errno == ECONNRESET ? StreamError::Closed : StreamError::Io,
                            std::strerror(errno)),
                       -1;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

void CNetStream::Close() {
    if (m_tls) {
        gnutls_deinit(Session(m_tls));
        m_tls = nullptr;
    }
    if (m_creds) {
        gnutls_certificate_free_credentials(static_cast<gnutls_certificate_credentials_t>(m_creds));
        m_creds = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

_mailstream* CNetStream::MakeMailstream() {
    mailstream_low* low = mailstream_low_new(this, &g_lowDriver);
    return mailstream_new(low, 8192);
}
