// Two-way sync of the pal table with an address book on a CardDAV server. Cards the
// server changed come in, pals changed here go out (If-Match on every write, If-None-Match
// for new cards, whose names come from the pal's UID so that a sync cut off and run again
// never makes a card twice), a field both sides changed keeps the newer revision's value
// and the other goes into the pal's memo, deletions go both ways (more than ten at once
// only when forced). What was agreed with the server last is kept per card in `state`.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/pal_card.h"
#include "sync/net_stream.h"

class CYubinoApp;

// Small named texts kept beside the data file (the archive's settings).
class CContactSyncState {
public:
    virtual ~CContactSyncState() = default;
    virtual std::string Get(const std::string& key) = 0;
    virtual bool Put(const std::vector<std::pair<std::string, std::string>>& values) = 0;
};

struct ContactSyncOptions {
    std::string url;  // any URL of the server, https only
    std::string user, password;
    TlsTrust trust;
    std::string book;    // the address book's display name or last path segment; "" when there is one
    bool force = false;  // deletions beyond the limit allowed
    std::function<void(int done, int total)> progress;
    // Asked between cards: true stops the sync there, each card taken in or sent whole.
    std::function<bool()> cancelled;
};

inline constexpr int kMaxDeletionsUnforced = 10;

struct SyncConflict {
    std::string address, field;  // UTF-8
    std::string kept, other;     // UTF-8; `other` went into the memo
};

// Why a sync ended early, as far as the user can act on it.
enum class ContactSyncFailure {
    None,
    Unreachable,
    LoginRefused,
    Certificate,  // `fingerprint` says which
    NoBook,
    BookUnclear,       // `books` lists the choice
    TooManyDeletions,  // `deletionsRefused` of them; run again with force
    Cancelled,
    Other
};

struct ContactSyncResult {
    bool ok = false;
    ContactSyncFailure failure = ContactSyncFailure::None;
    bool cancelled = false;
    std::string error;                                 // UTF-8, when not ok
    std::string fingerprint;                           // the server certificate's, when TLS refused it
    int deletionsRefused = 0;                          // the deletions that needed force
    std::vector<std::string> books;                    // the address books found, when the choice was unclear
    std::vector<std::string> added, updated, deleted;  // pals here, UTF-8 addresses
    std::vector<SyncConflict> conflicts;
    int uploaded = 0;
    std::vector<std::string> notAdded;  // cards left on the server: the table was full
};

ContactSyncResult SyncContacts(CYubinoApp& app, CPalCardStore& cards, CContactSyncState& state,
                               const ContactSyncOptions& options);
