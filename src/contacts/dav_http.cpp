#include "contacts/dav_http.h"

#include <curl/curl.h>
#include <gnutls/abstract.h>
#include <gnutls/crypto.h>
#include <gnutls/x509.h>

#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 30;
constexpr long kStallSeconds = 60;  // no byte for this long ends the request

struct Transfer {
    DavResponse* response;
    std::size_t cap;
    bool tooLarge = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (t.response->body.size() + n > t.cap) {
        t.tooLarge = true;
        return 0;
    }
    t.response->body.append(data, n);
    return n;
}

std::string Trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    return begin == std::string_view::npos ? std::string() : std::string(text.substr(begin, end - begin + 1));
}

bool HeaderIs(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i]) return false;
    return true;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& r = *static_cast<Transfer*>(user)->response;
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) r.etag.clear(), r.location.clear();
    if (HeaderIs(line, "etag")) r.etag = Trimmed(line.substr(5));
    if (HeaderIs(line, "location")) r.location = Trimmed(line.substr(9));
    return size * count;
}

std::string Base64(const unsigned char* bytes, std::size_t size) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < size; i += 3) {
        const unsigned v =
            (bytes[i] << 16) | (i + 1 < size ? bytes[i + 1] << 8 : 0) | (i + 2 < size ? bytes[i + 2] : 0);
        out += kDigits[(v >> 18) & 63];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < size ? kDigits[(v >> 6) & 63] : '=';
        out += i + 2 < size ? kDigits[v & 63] : '=';
    }
    return out;
}

std::string Hex(const unsigned char* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (i) out += ':';
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 15];
    }
    return out;
}

}  // namespace

std::optional<CertificateIds> IdsOfCertificate(const std::string& pem) {
    gnutls_x509_crt_t crt;
    if (gnutls_x509_crt_init(&crt) < 0) return std::nullopt;
    const gnutls_datum_t in{reinterpret_cast<unsigned char*>(const_cast<char*>(pem.data())),
                            static_cast<unsigned>(pem.size())};
    std::optional<CertificateIds> ids;
    unsigned char digest[32];
    std::size_t size = sizeof digest;
    gnutls_pubkey_t key;
    if (gnutls_x509_crt_import(crt, &in, GNUTLS_X509_FMT_PEM) >= 0 &&
        gnutls_x509_crt_get_fingerprint(crt, GNUTLS_DIG_SHA256, digest, &size) >= 0 && gnutls_pubkey_init(&key) >= 0) {
        gnutls_datum_t der{};
        if (gnutls_pubkey_import_x509(key, crt, 0) >= 0 && gnutls_pubkey_export2(key, GNUTLS_X509_FMT_DER, &der) >= 0) {
            unsigned char keyDigest[32];
            if (gnutls_hash_fast(GNUTLS_DIG_SHA256, der.data, der.size, keyDigest) >= 0)
                ids = CertificateIds{Hex(digest, size), "sha256//" + Base64(keyDigest, sizeof keyDigest)};
            gnutls_free(der.data);
        }
        gnutls_pubkey_deinit(key);
    }
    gnutls_x509_crt_deinit(crt);
    return ids;
}

CDavHttp::CDavHttp(std::string user, std::string password, TlsTrust trust, std::size_t maxAnswerBytes)
    : m_user(std::move(user)),
      m_password(std::move(password)),
      m_trust(std::move(trust)),
      m_maxAnswerBytes(maxAnswerBytes) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_curl = curl_easy_init();
}

CDavHttp::~CDavHttp() { curl_easy_cleanup(static_cast<CURL*>(m_curl)); }

// Fetches the server's certificate without sending the password or verifying it, and pins
// its public key when its fingerprint is the trusted one.
bool CDavHttp::PinTrustedCertificate(const std::string& url) {
    CURL* probe = curl_easy_init();
    curl_easy_setopt(probe, CURLOPT_URL, url.c_str());
    curl_easy_setopt(probe, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(probe, CURLOPT_CONNECT_ONLY, 1L);
    curl_easy_setopt(probe, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(probe, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(probe, CURLOPT_CERTINFO, 1L);
    curl_easy_setopt(probe, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    const CURLcode code = curl_easy_perform(probe);
    curl_certinfo* info = nullptr;
    std::optional<CertificateIds> ids;
    if (code == CURLE_OK && curl_easy_getinfo(probe, CURLINFO_CERTINFO, &info) == CURLE_OK && info &&
        info->num_of_certs > 0)
        for (curl_slist* item = info->certinfo[0]; item; item = item->next)
            if (std::string_view(item->data).starts_with("Cert:")) ids = IdsOfCertificate(item->data + 5);
    curl_easy_cleanup(probe);
    if (!ids)
        return m_failure = DavFailure::Other,
               m_error = code == CURLE_OK ? "the server's certificate does not read" : curl_easy_strerror(code), false;
    m_fingerprint = ids->fingerprint;
    if (!SameFingerprint(ids->fingerprint, m_trust.trustedFingerprint))
        return m_failure = DavFailure::Certificate,
               m_error = "the server's certificate is not the trusted one (SHA-256 " + ids->fingerprint + ")", false;
    m_pin = ids->pin;
    return true;
}

void CDavHttp::Failed(int code, const std::string& url) {
    m_error = curl_easy_strerror(static_cast<CURLcode>(code));
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
            m_failure = DavFailure::Unreachable;
            break;
        case CURLE_PEER_FAILED_VERIFICATION:
            // The certificate's fingerprint, for the user to compare and trust.
            m_failure = DavFailure::Certificate;
            PinTrustedCertificate(url);
            m_pin.clear();
            m_error = curl_easy_strerror(static_cast<CURLcode>(code));
            break;
        default:
            m_failure = DavFailure::Other;
    }
}

std::optional<DavResponse> CDavHttp::Send(const DavRequest& request) {
    CURL* curl = static_cast<CURL*>(m_curl);
    if (!curl) return m_error = "libcurl did not start", std::nullopt;
    if (!m_trust.trustedFingerprint.empty() && m_pin.empty() && !PinTrustedCertificate(request.url))
        return std::nullopt;
    DavResponse response;
    Transfer transfer{&response, m_maxAnswerBytes};
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC | CURLAUTH_DIGEST);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_maxAnswerBytes));
    curl_easy_setopt(curl, CURLOPT_SSLVERSION, CURL_SSLVERSION_TLSv1_2);
    // The given CA alone: the system's folder of certificates is not read at every connection.
    if (!m_trust.caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, m_trust.caFile.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    }
    if (!m_pin.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(curl, CURLOPT_PINNEDPUBLICKEY, m_pin.c_str());
    }
    if (request.method == "HEAD") curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    if (!request.body.empty() || request.method == "PUT") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    for (const std::string& header : request.headers) headers = curl_slist_append(headers, header.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        return m_error = "the server's answer is larger than " + std::to_string(m_maxAnswerBytes >> 20) + " MB",
               std::nullopt;
    if (code != CURLE_OK) return Failed(code, request.url), std::nullopt;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    return response;
}
