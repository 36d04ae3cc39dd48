#include "contacts/carddav_client.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kMaxAnswerBytes = 64u << 20;
constexpr std::size_t kMaxCards = 20'000;
constexpr std::size_t kFetchBatch = 100;
constexpr int kMaxRedirects = 5;

constexpr const char* kPropfindBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:prop>"
    "<D:resourcetype/><D:displayname/><D:current-user-principal/><C:addressbook-home-set/>"
    "<D:supported-report-set/></D:prop></D:propfind>";

constexpr const char* kEtagPropfindBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\"><D:prop><D:getetag/></D:prop></D:propfind>";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The properties of a response that the server answered with 200.
const XmlNode* GoodProps(const XmlNode& response) {
    for (const XmlNode& propstat : response.children) {
        if (!propstat.Is(kDavNs, "propstat")) continue;
        const XmlNode* status = propstat.Child(kDavNs, "status");
        if (status && status->text.find(" 200 ") != std::string::npos) return propstat.Child(kDavNs, "prop");
    }
    return nullptr;
}

bool IsGone(const XmlNode& response) {
    const XmlNode* status = response.Child(kDavNs, "status");
    return status && status->text.find(" 404 ") != std::string::npos;
}

std::string LastSegment(const std::string& path) {
    const std::string trimmed = path.substr(0, path.find_last_not_of('/') + 1);
    return trimmed.substr(trimmed.rfind('/') + 1);
}

}  // namespace

CCardDavClient::CCardDavClient(const std::string& url, const std::string& user, const std::string& password,
                               TlsTrust trust)
    : m_http(user, password, std::move(trust), kMaxAnswerBytes) {
    constexpr std::string_view kScheme = "https://";
    if (!Lower(url).starts_with(kScheme)) return;
    const std::size_t slash = url.find('/', kScheme.size());
    const std::string authority = url.substr(kScheme.size(), slash - kScheme.size());
    if (authority.empty() || authority.find_first_of("@?#") != std::string::npos) return;
    m_origin = "https://" + Lower(authority);
    m_startPath = slash == std::string::npos ? "/" : url.substr(slash);
}

bool CCardDavClient::Fail(std::string why) {
    m_error = std::move(why);
    return false;
}

std::optional<std::string> CCardDavClient::PathOf(const std::string& href, const std::string& base) const {
    const std::string lower = Lower(href);
    if (lower.starts_with("https://")) {
        const std::size_t slash = href.find('/', 8);
        if (Lower(href.substr(0, slash)) != m_origin) return std::nullopt;
        return slash == std::string::npos ? "/" : href.substr(slash);
    }
    if (href.starts_with("//") || href.find_first_of(":") < href.find('/')) return std::nullopt;
    if (href.starts_with("/")) return href;
    return base.substr(0, base.rfind('/') + 1) + href;
}

std::optional<DavResponse> CCardDavClient::Request(DavRequest request) {
    if (m_origin.empty()) return Fail("the URL must be https://server[:port]/path"), std::nullopt;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const std::string path = request.url;
        request.url = m_origin + path;
        std::optional<DavResponse> response = m_http.Send(request);
        if (!response) return Fail(m_http.Error()), std::nullopt;
        const long s = m_lastStatus = response->status;
        if (s != 301 && s != 302 && s != 303 && s != 307 && s != 308) return response;
        const std::optional<std::string> next = PathOf(response->location, path);
        if (!next)
            return Fail("a redirect to another server or to plain http refused: " + response->location), std::nullopt;
        request.url = *next;
    }
    return Fail("too many redirects"), std::nullopt;
}

std::optional<XmlNode> CCardDavClient::Multistatus(const std::string& method, const std::string& path,
                                                   const std::string& depth, const std::string& body) {
    const std::optional<DavResponse> response =
        Request({method, path, {"Depth: " + depth, "Content-Type: application/xml; charset=utf-8"}, body});
    if (!response) return std::nullopt;
    if (response->status != 207)
        return Fail(method + " " + path + ": the server answered " + std::to_string(response->status)), std::nullopt;
    std::string why;
    std::optional<XmlNode> root = ParseDavXml(response->body, why);
    if (!root) return Fail(why), std::nullopt;
    if (!root->Is(kDavNs, "multistatus")) return Fail("the answer is no multistatus"), std::nullopt;
    return root;
}

std::optional<std::string> CCardDavClient::HrefProperty(const std::string& path, const char* ns, const char* property) {
    const std::optional<XmlNode> root = Multistatus("PROPFIND", path, "0", kPropfindBody);
    if (!root) return std::nullopt;
    for (const XmlNode& response : root->children) {
        const XmlNode* props = GoodProps(response);
        const XmlNode* value = props ? props->Child(ns, property) : nullptr;
        const XmlNode* href = value ? value->Child(kDavNs, "href") : nullptr;
        if (!href) continue;
        if (std::optional<std::string> found = PathOf(href->text, path)) return found;
        return Fail("an href to another server refused: " + href->text), std::nullopt;
    }
    return std::nullopt;
}

std::vector<AddressBook> CCardDavClient::BooksAt(const std::string& path, const std::string& depth) {
    std::vector<AddressBook> books;
    const std::optional<XmlNode> root = Multistatus("PROPFIND", path, depth, kPropfindBody);
    if (!root) return books;
    for (const XmlNode& response : root->children) {
        const XmlNode* href = response.Child(kDavNs, "href");
        const XmlNode* props = GoodProps(response);
        const XmlNode* type = props ? props->Child(kDavNs, "resourcetype") : nullptr;
        if (!href || !type || !type->Child(kCardDavNs, "addressbook")) continue;
        const std::optional<std::string> bookPath = PathOf(href->text, path);
        if (!bookPath) return Fail("an href to another server refused: " + href->text), std::vector<AddressBook>{};
        AddressBook book{WithSlash(*bookPath), {}, false};
        const XmlNode* name = props->Child(kDavNs, "displayname");
        book.name = name && !name->text.empty() ? name->text : LastSegment(book.path);
        const XmlNode* reports = props->Child(kDavNs, "supported-report-set");
        book.syncCollection = reports && reports->Find(kDavNs, "sync-collection");
        books.push_back(std::move(book));
    }
    return books;
}

std::vector<AddressBook> CCardDavClient::Discover() {
    const std::vector<std::string> starts = m_startPath == "/"
                                                ? std::vector<std::string>{"/.well-known/carddav", "/"}
                                                : std::vector<std::string>{m_startPath, "/.well-known/carddav"};
    for (const std::string& start : starts) {
        std::vector<AddressBook> books = BooksAt(start, "0");
        if (!books.empty()) return books;
        const std::optional<std::string> principal = HrefProperty(start, kDavNs.data(), "current-user-principal");
        const std::optional<std::string> home =
            HrefProperty(principal.value_or(start), kCardDavNs.data(), "addressbook-home-set");
        if (home) books = BooksAt(*home, "1");
        if (!books.empty()) return books;
    }
    if (m_error.empty()) m_error = "no address book found at this URL";
    return {};
}

std::optional<CardListing> CCardDavClient::ChangesSince(const AddressBook& book, const std::string& syncToken,
                                                        bool& tokenRefused) {
    tokenRefused = false;
    const std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>" +
        XmlEscape(syncToken) +
        "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>"
        "</D:sync-collection>";
    const std::optional<DavResponse> answer =
        Request({"REPORT", book.path, {"Depth: 0", "Content-Type: application/xml; charset=utf-8"}, body});
    if (!answer) return std::nullopt;
    if (!syncToken.empty() && (answer->status == 403 || answer->status == 409 || answer->status == 400)) {
        tokenRefused = true;
        return std::nullopt;
    }
    if (answer->status != 207)
        return Fail("sync-collection: the server answered " + std::to_string(answer->status)), std::nullopt;
    std::string why;
    const std::optional<XmlNode> root = ParseDavXml(answer->body, why);
    if (!root || !root->Is(kDavNs, "multistatus"))
        return Fail(root ? "the answer is no multistatus" : why), std::nullopt;
    CardListing listing;
    listing.complete = false;
    if (const XmlNode* token = root->Child(kDavNs, "sync-token")) listing.syncToken = token->text;
    for (const XmlNode& response : root->children) {
        const XmlNode* href = response.Child(kDavNs, "href");
        if (!href) continue;
        const std::optional<std::string> path = PathOf(href->text, book.path);
        if (!path) return Fail("an href to another server refused: " + href->text), std::nullopt;
        if (WithSlash(*path) == book.path) continue;
        const XmlNode* props = GoodProps(response);
        const XmlNode* etag = props ? props->Child(kDavNs, "getetag") : nullptr;
        if (IsGone(response))
            listing.removed.insert(*path);
        else if (etag)
            listing.changed[*path] = etag->text;
        if (listing.changed.size() + listing.removed.size() > kMaxCards)
            return Fail("the address book holds more than 20,000 cards"), std::nullopt;
    }
    return listing;
}

std::optional<CardListing> CCardDavClient::ListEtags(const AddressBook& book) {
    const std::optional<XmlNode> root = Multistatus("PROPFIND", book.path, "1", kEtagPropfindBody);
    if (!root) return std::nullopt;
    CardListing listing;
    for (const XmlNode& response : root->children) {
        const XmlNode* href = response.Child(kDavNs, "href");
        const XmlNode* props = GoodProps(response);
        const XmlNode* etag = props ? props->Child(kDavNs, "getetag") : nullptr;
        if (!href || !etag) continue;
        const std::optional<std::string> path = PathOf(href->text, book.path);
        if (!path) return Fail("an href to another server refused: " + href->text), std::nullopt;
        if (WithSlash(*path) == book.path) continue;
        listing.changed[*path] = etag->text;
        if (listing.changed.size() > kMaxCards)
            return Fail("the address book holds more than 20,000 cards"), std::nullopt;
    }
    return listing;
}

std::optional<std::vector<RemoteCard>> CCardDavClient::Fetch(const AddressBook& book,
                                                             const std::vector<std::string>& paths) {
    std::vector<RemoteCard> cards;
    for (std::size_t first = 0; first < paths.size(); first += kFetchBatch) {
        std::string body =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<C:addressbook-multiget xmlns:D=\"DAV:\" "
            "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:prop><D:getetag/><C:address-data/></D:prop>";
        for (std::size_t i = first; i < std::min(paths.size(), first + kFetchBatch); ++i)
            body += "<D:href>" + XmlEscape(paths[i]) + "</D:href>";
        body += "</C:addressbook-multiget>";
        const std::optional<XmlNode> root = Multistatus("REPORT", book.path, "1", body);
        if (!root) return std::nullopt;
        for (const XmlNode& response : root->children) {
            const XmlNode* href = response.Child(kDavNs, "href");
            const XmlNode* props = GoodProps(response);
            const XmlNode* etag = props ? props->Child(kDavNs, "getetag") : nullptr;
            const XmlNode* data = props ? props->Child(kCardDavNs, "address-data") : nullptr;
            if (!href || !etag || !data) continue;
            const std::optional<std::string> path = PathOf(href->text, book.path);
            if (!path) return Fail("an href to another server refused: " + href->text), std::nullopt;
            cards.push_back({*path, etag->text, data->text});
        }
    }
    return cards;
}

std::optional<WriteOutcome> CCardDavClient::Put(const std::string& path, const std::string& card,
                                                const std::string& ifMatch) {
    const std::string condition = ifMatch.empty() ? "If-None-Match: *" : "If-Match: " + ifMatch;
    const std::optional<DavResponse> answer =
        Request({"PUT", path, {condition, "Content-Type: text/vcard; charset=utf-8"}, card});
    if (!answer) return std::nullopt;
    return WriteOutcome{answer->status, answer->etag};
}

std::optional<WriteOutcome> CCardDavClient::Delete(const std::string& path, const std::string& ifMatch) {
    const std::optional<DavResponse> answer = Request({"DELETE", path, {"If-Match: " + ifMatch}, {}});
    if (!answer) return std::nullopt;
    return WriteOutcome{answer->status, {}};
}
