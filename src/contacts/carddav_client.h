// An address book server as RFC 6352 describes it, over CDavHttp: the user's address books
// found from any URL of the server (RFC 6764's well-known URL, the current user principal,
// the address book home), their cards listed by sync-collection (RFC 6578) or by ETags,
// fetched by multiget, written with If-Match or If-None-Match, deleted with If-Match. Every
// href must name the server the user gave; redirects only to it and only over HTTPS.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "contacts/dav_http.h"
#include "contacts/dav_xml.h"

struct AddressBook {
    std::string path;  // absolute path on the server, ending in "/"
    std::string name;  // the display name, else the last path segment
    bool syncCollection = false;
};

struct CardListing {
    std::map<std::string, std::string> changed;  // path -> ETag
    std::set<std::string> removed;               // paths (sync-collection only)
    std::string syncToken;                       // empty when listed by ETags
    bool complete = true;                        // false: a listing by ETags (every card named)
};

struct RemoteCard {
    std::string path, etag, data;
};

struct WriteOutcome {
    long status = 0;   // 201/204 written, 412 changed meanwhile, 404 gone
    std::string etag;  // the new ETag, when the server gave it
};

class CCardDavClient {
public:
    // `url`: https://host[:port]/any/path.
    CCardDavClient(const std::string& url, const std::string& user, const std::string& password, TlsTrust trust);

    // The user's address books; empty with Error() set when none could be found.
    std::vector<AddressBook> Discover();
    // Changes since `syncToken` ("": everything) by sync-collection; nothing when the
    // server refuses the token (the caller lists by ETags then) or the request failed.
    std::optional<CardListing> ChangesSince(const AddressBook& book, const std::string& syncToken, bool& tokenRefused);
    // Every card's ETag.
    std::optional<CardListing> ListEtags(const AddressBook& book);
    // The cards at `paths` (fetched in batches); a missing card is left out.
    std::optional<std::vector<RemoteCard>> Fetch(const AddressBook& book, const std::vector<std::string>& paths);
    // Writes the card: over the version `ifMatch`, or only where none is when it is empty.
    std::optional<WriteOutcome> Put(const std::string& path, const std::string& card, const std::string& ifMatch);
    std::optional<WriteOutcome> Delete(const std::string& path, const std::string& ifMatch);

    const std::string& Error() const { return m_error; }
    const std::string& Fingerprint() const { return m_http.Fingerprint(); }
    DavFailure Failure() const { return m_http.Failure(); }
    // The status of the server's last answer (0: none came).
    long LastStatus() const { return m_lastStatus; }
    // The path of an href the server sent, when it names this server; else nothing.
    std::optional<std::string> PathOf(const std::string& href, const std::string& base) const;

private:
    std::optional<DavResponse> Request(DavRequest request);
    std::optional<XmlNode> Multistatus(const std::string& method, const std::string& path, const std::string& depth,
                                       const std::string& body);
    std::optional<std::string> HrefProperty(const std::string& path, const char* ns, const char* property);
    std::vector<AddressBook> BooksAt(const std::string& path, const std::string& depth);
    bool Fail(std::string why);

    std::string m_origin;  // "https://host:port"
    long m_lastStatus = 0;
    std::string m_startPath;
    CDavHttp m_http;
    std::string m_error;
};
