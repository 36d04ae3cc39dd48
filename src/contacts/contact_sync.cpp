#include "contacts/contact_sync.h"

#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "contacts/card_merge.h"
#include "contacts/carddav_client.h"
#include "core/cp932.h"
#include "core/pal_placement.h"
#include "core/yubino_app.h"
#include "storage/pal_import.h"
#include "storage/pal_merge.h"
#include "storage/pal_vcard.h"

namespace {

constexpr int kMaxWriteTries = 3;

std::string Utf8(const std::string& cp932Text) { return cp932::ToUtf8(cp932Text, /*escapeInvalid=*/true); }

std::set<std::string> SplitLines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.insert(line);
    return lines;
}

class CContactSync {
public:
    CContactSync(CYubinoApp& app, CPalCardStore& cards, CContactSyncState& state, const ContactSyncOptions& options)
        : m_app(app),
          m_cards(cards),
          m_state(state),
          m_options(options),
          m_client(options.url, options.user, options.password, options.trust) {}

    ContactSyncResult Run() {
        if (ChooseBook() && Download() && Upload() && DeleteOnServer()) m_result.ok = true;
        if (!m_prefix.empty()) m_state.Put({{m_prefix + "known", KnownText()}});
        if (!m_result.ok && m_result.error.empty()) m_result.error = m_client.Error();
        if (!m_result.ok) m_result.fingerprint = m_client.Fingerprint();
        if (!m_result.ok) m_result.failure = FailureKind();
        return m_result;
    }

private:
    ContactSyncFailure FailureKind() const {
        using enum ContactSyncFailure;
        if (m_result.cancelled) return Cancelled;
        if (m_result.deletionsRefused > 0) return TooManyDeletions;
        if (!m_result.books.empty()) return BookUnclear;
        if (m_client.LastStatus() == 401) return LoginRefused;
        if (m_client.Failure() == DavFailure::Unreachable) return Unreachable;
        if (m_client.Failure() == DavFailure::Certificate) return Certificate;
        if (m_prefix.empty() && m_client.Failure() == DavFailure::None) return NoBook;
        return Other;
    }

    bool Fail(std::string why) {
        m_result.error = std::move(why);
        return false;
    }

    bool Cancelled() {
        if (!m_options.cancelled || !m_options.cancelled()) return false;
        m_result.cancelled = true;
        return !Fail("cancelled");
    }

    void Progress() {
        if (m_options.progress) m_options.progress(++m_done, m_total);
    }

    bool ChooseBook() {
        const std::vector<AddressBook> books = m_client.Discover();
        if (books.empty()) return false;
        std::vector<const AddressBook*> chosen;
        for (const AddressBook& book : books) {
            const std::string segment = book.path.substr(0, book.path.size() - 1);
            const bool named = book.name == m_options.book || segment.substr(segment.rfind('/') + 1) == m_options.book;
            if (m_options.book.empty() || named) chosen.push_back(&book);
        }
        if (chosen.size() != 1) {
            for (const AddressBook& book : books) m_result.books.push_back(book.name);
            return Fail(chosen.empty() ? "no address book of that name" : "choose one of the address books (--book)");
        }
        m_book = *chosen.front();
        m_prefix = "carddav|" + m_options.url.substr(0, m_options.url.find('/', 8)) + m_book.path + "|";
        m_known = SplitLines(m_state.Get(m_prefix + "known"));
        return true;
    }

    // The pals of this address book by their card's path, and each pal's record.
    std::map<std::string, std::string> LocalPaths() {
        std::map<std::string, std::string> paths;
        for (const CPenPal& pal : m_app.Pals()) {
            const PalCard card = CardOf(pal.m_strMailAddress);
            if (card.carddavHref.starts_with(m_book.path)) paths[card.carddavHref] = pal.m_strMailAddress;
        }
        return paths;
    }

    std::optional<CardListing> Listing() {
        std::string token = m_state.Get(m_prefix + "token");
        if (!m_book.syncCollection) return m_client.ListEtags(m_book);
        bool refused = false;
        std::optional<CardListing> listing = m_client.ChangesSince(m_book, token, refused);
        if (refused) listing = m_client.ChangesSince(m_book, token = "", refused);
        if (listing && token.empty()) listing->complete = true;
        return listing;
    }

    bool Download() {
        std::optional<CardListing> listing = Listing();
        if (!listing) return false;
        const std::map<std::string, std::string> local = LocalPaths();
        std::vector<std::string> fetch;
        for (const auto& [path, etag] : listing->changed) {
            const auto mine = local.find(path);
            if (mine == local.end() || CardOf(mine->second).carddavEtag != etag) fetch.push_back(path);
        }
        std::set<std::string> goneThere = listing->removed;
        if (listing->complete)
            for (const auto& [path, address] : local)
                if (!listing->changed.contains(path)) goneThere.insert(path);
        for (const std::string& path : m_known)
            if (!local.contains(path) && !listing->changed.contains(path) && !goneThere.contains(path))
                m_goneHere.insert(path);
        std::erase_if(goneThere, [&](const std::string& path) { return !local.contains(path); });
        const int deletions = static_cast<int>(goneThere.size() + m_goneHere.size());
        if (deletions > kMaxDeletionsUnforced && !m_options.force) {
            m_result.deletionsRefused = deletions;
            m_goneHere.clear();
            return Fail(std::to_string(deletions) + " contacts would be deleted; sync refused without force");
        }
        m_total = static_cast<int>(fetch.size() + m_app.Pals().size());
        const std::optional<std::vector<RemoteCard>> cards = m_client.Fetch(m_book, fetch);
        if (!cards) return false;
        for (const RemoteCard& card : *cards) {
            if (Cancelled()) return false;
            TakeIn(card);
            Progress();
        }
        for (const std::string& path : goneThere) DeleteHere(local.at(path), path);
        return m_state.Put({{m_prefix + "token", listing->syncToken}});
    }

    std::string BaseOf(const std::string& path) { return m_state.Get(m_prefix + "base|" + path); }
    // The card as both sides hold it now, and the server's ETag of it.
    void KeepBase(const std::string& path, const std::string& text, const std::string& etag) {
        m_state.Put({{m_prefix + "base|" + path, text}, {m_prefix + "etag|" + path, etag}});
    }

    PalCard CardOf(const std::string& address) {
        auto found = m_cardCache.find(address);
        if (found == m_cardCache.end())
            found = m_cardCache.emplace(address, m_cards.ReadCard(address).value_or(PalCard{})).first;
        return found->second;
    }
    void StoreCard(const std::string& address, const PalCard& card) {
        m_cards.WriteCard(address, card);
        m_cardCache[address] = card;
    }

    static std::optional<ImportedPal> PalOfCard(const std::string& text) {
        ImportedPals pals = ReadVCardPals(text);
        if (pals.pals.empty()) return std::nullopt;
        return std::move(pals.pals.front());
    }

    // The table pal the card belongs to: by its path, its UID, then its mail addresses.
    int LocalPalFor(const std::string& path, const ImportedPal& theirs) {
        const std::vector<CPenPal>& pals = m_app.Pals();
        for (std::size_t i = 0; i < pals.size(); ++i) {
            const PalCard card = CardOf(pals[i].m_strMailAddress);
            if (card.carddavHref == path || (!theirs.card.uid.empty() && card.uid == theirs.card.uid))
                return static_cast<int>(i);
        }
        return FindPalForImport(pals, theirs.pal);
    }

    void TakeIn(const RemoteCard& remote) {
        std::optional<ImportedPal> theirs = PalOfCard(remote.data);
        if (!theirs) return;  // a card without a mail address is no pal; it stays on the server
        theirs->card.carddavHref = remote.path;
        theirs->card.carddavEtag = remote.etag;
        const int index = LocalPalFor(remote.path, *theirs);
        if (index < 0 && m_app.GetPalCount() >= kMaxPals) {
            m_result.notAdded.push_back(Utf8(theirs->pal.m_strMailAddress));
            return;
        }
        if (index < 0) {
            AddressBookImportOptions import;
            import.policy = MergePolicy::Theirs;
            import.cards = &m_cards;
            if (theirs->card.uid.empty()) theirs->card.uid = NewUuid();
            if (ImportAddressBookPals(m_app, {*theirs}, m_app.m_dataFolder, import).pals.added == 0) return;
            m_cardCache.erase(theirs->pal.m_strMailAddress);
            m_result.added.push_back(Utf8(theirs->pal.m_strMailAddress));
            KeepBase(remote.path, remote.data, remote.etag);
            return;
        }
        const CPenPal ours = m_app.Pals()[static_cast<std::size_t>(index)];
        PalCard card = CardOf(ours.m_strMailAddress);
        const std::optional<ImportedPal> base =
            card.carddavHref == remote.path ? PalOfCard(BaseOf(remote.path)) : std::nullopt;
        const bool oursNewer = ComparableRevision(card.revision) > ComparableRevision(theirs->card.revision);
        const ThreeWayMerge merge = MergeThreeWay(base ? base->pal : CPenPal{}, ours, theirs->pal, oursNewer);
        for (const MergedField& conflict : merge.conflicts)
            m_result.conflicts.push_back({Utf8(ours.m_strMailAddress), Utf8(PalFieldLabel(conflict.field)),
                                          Utf8(conflict.kept), Utf8(conflict.other)});
        if (PalFieldsDiffer(merge.pal, ours)) {
            if (merge.pal.m_strMailAddress != ours.m_strMailAddress)
                m_app.ChangePalAddress(ours.m_strMailAddress, merge.pal.m_strMailAddress);
            m_app.ReplacePal(merge.pal);
            m_result.updated.push_back(Utf8(merge.pal.m_strMailAddress));
        }
        if (!oursNewer) {
            card.readingFamily = theirs->card.readingFamily;
            card.readingGiven = theirs->card.readingGiven;
            card.revision = theirs->card.revision.empty() ? card.revision : theirs->card.revision;
        }
        if (card.uid.empty()) card.uid = theirs->card.uid.empty() ? NewUuid() : theirs->card.uid;
        card.carddavHref = remote.path;
        card.carddavEtag = remote.etag;
        StoreCard(merge.pal.m_strMailAddress, card);
        KeepBase(remote.path, remote.data, remote.etag);
        if (PalFieldsDiffer(merge.pal, theirs->pal)) m_mustUpload.insert(merge.pal.m_strMailAddress);
    }

    void DeleteHere(const std::string& address, const std::string& path) {
        CPenPal pal;
        if (!m_app.FindPalByAddress(address, pal)) return;
        const std::optional<ImportedPal> base = PalOfCard(BaseOf(path));
        PalCard card = CardOf(address);
        card.carddavHref.clear();
        card.carddavEtag.clear();
        StoreCard(address, card);
        // Changed here since the server last had it: kept, and sent again as a new card.
        if (base && PalFieldsDiffer(base->pal, pal)) return;
        m_app.DeletePal(address);
        m_result.deleted.push_back(Utf8(address));
    }

    bool Upload() {
        std::vector<std::string> addresses;
        for (const CPenPal& pal : m_app.Pals()) addresses.push_back(pal.m_strMailAddress);
        for (const std::string& address : addresses) {
            if (Cancelled() || !UploadPal(address)) return false;
            Progress();
        }
        return true;
    }

    bool ChangedHere(const CPenPal& pal, const PalCard& card) {
        if (m_mustUpload.contains(pal.m_strMailAddress)) return true;
        const std::optional<ImportedPal> base = PalOfCard(BaseOf(card.carddavHref));
        if (!base || base->card.readingFamily != card.readingFamily || base->card.readingGiven != card.readingGiven)
            return true;
        // A pal placed on the map by its residence as it came in holds nothing new: the
        // placement follows from the card wherever it is read.
        CPenPal placed = base->pal;
        PlaceNewPal(m_app, placed);
        return PalFieldsDiffer(base->pal, pal) && PalFieldsDiffer(placed, pal);
    }

    bool UploadPal(const std::string& address) {
        for (int attempt = 0; attempt < kMaxWriteTries; ++attempt) {
            CPenPal pal;
            if (!m_app.FindPalByAddress(address, pal)) return true;
            PalCard card = CardOf(address);
            if (card.uid.empty()) card.uid = NewUuid();
            if (card.revision.empty()) card.revision = RevisionNow();
            const bool isNew = !card.carddavHref.starts_with(m_book.path);
            if (isNew)
                card.carddavHref = m_book.path + card.uid + ".vcf", card.carddavEtag.clear();
            else if (!ChangedHere(pal, card))
                return true;
            const std::vector<CPenPal> one{pal};
            const std::string text = WriteVCards(one, VCardVersion::V4, m_app.m_dataFolder, std::vector<PalCard>{card});
            const std::optional<WriteOutcome> put = m_client.Put(card.carddavHref, text, card.carddavEtag);
            if (!put) return false;
            if (put->status == 412 || put->status == 404) {
                if (!Refetch(address, card, put->status)) return false;
                continue;
            }
            if (put->status < 200 || put->status >= 300)
                return Fail("PUT " + card.carddavHref + ": the server answered " + std::to_string(put->status));
            card.carddavEtag = put->etag;
            StoreCard(address, card);
            KeepBase(card.carddavHref, text, put->etag);
            m_mustUpload.erase(address);
            ++m_result.uploaded;
            return true;
        }
        return Fail("the server kept changing the card of " + Utf8(address));
    }

    // After a refused write: the card as the server has it now, merged in; a card gone
    // there is written anew.
    bool Refetch(const std::string& address, PalCard card, long status) {
        const std::optional<std::vector<RemoteCard>> now = m_client.Fetch(m_book, {card.carddavHref});
        if (!now) return false;
        if (status == 404 || now->empty()) {
            card.carddavEtag.clear();
            StoreCard(address, card);
            m_mustUpload.insert(address);
            return true;
        }
        TakeIn(now->front());
        m_mustUpload.insert(address);
        return true;
    }

    bool DeleteOnServer() {
        for (auto it = m_goneHere.begin(); it != m_goneHere.end();) {
            const std::string etag = m_state.Get(m_prefix + "etag|" + *it);
            const std::optional<WriteOutcome> outcome = m_client.Delete(*it, etag.empty() ? "*" : etag);
            if (!outcome) return false;
            if (outcome->status == 412) {
                // Changed there since: the card comes back here rather than being lost.
                const std::optional<std::vector<RemoteCard>> now = m_client.Fetch(m_book, {*it});
                if (!now) return false;
                for (const RemoteCard& card : *now) TakeIn(card);
            } else if (outcome->status >= 300 && outcome->status != 404) {
                return Fail("DELETE " + *it + ": the server answered " + std::to_string(outcome->status));
            }
            it = m_goneHere.erase(it);
        }
        return true;
    }

    std::string KnownText() {
        std::string text;
        for (const auto& [path, address] : LocalPaths()) text += path + "\n";
        for (const std::string& path : m_goneHere) text += path + "\n";
        return text;
    }

    CYubinoApp& m_app;
    CPalCardStore& m_cards;
    CContactSyncState& m_state;
    const ContactSyncOptions& m_options;
    CCardDavClient m_client;
    AddressBook m_book;
    std::string m_prefix;
    std::set<std::string> m_known;
    std::set<std::string> m_goneHere;  // paths of pals deleted here since the last sync
    std::set<std::string> m_mustUpload;
    std::map<std::string, PalCard> m_cardCache;  // the records by pal address
    ContactSyncResult m_result;
    int m_done = 0, m_total = 0;
};

}  // namespace

ContactSyncResult SyncContacts(CYubinoApp& app, CPalCardStore& cards, CContactSyncState& state,
                               const ContactSyncOptions& options) {
    return CContactSync(app, cards, state, options).Run();
}
