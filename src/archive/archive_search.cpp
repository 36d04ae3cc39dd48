#include "archive/archive_search.h"

#include <algorithm>
#include <set>
#include <variant>

#include "archive/sqlite_db.h"
#include "archive/stored_mail_row.h"

namespace {

std::size_t CodePoints(std::string_view utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
    return count;
}

// The first `count` characters of `utf8`.
std::string Leading(const std::string& utf8, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < utf8.size(); ++at) {
        if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && seen++ == count) break;
    }
    return utf8.substr(0, at);
}

// The trigram index answers three characters and more. A long word is looked up by its
// beginning and then looked for whole in the mails found: every character more is a term
// more for the index to read.
constexpr std::size_t kIndexedChars = 3;
constexpr std::size_t kLongWordChars = 24;
// A short word is looked up through the index's terms that begin with it, unless those
// are too many or occur too often; then a scan is quicker.
constexpr std::int64_t kShortWordIndexLimit = 20000;
constexpr std::size_t kShortWordTermLimit = 400;
// A short word held by at least a quarter of the newest mails is common: a scan finds it
// in each pal's first few mails sooner than the index's terms can be read.
constexpr int kSampleMails = 200;
constexpr int kCommonInSample = kSampleMails / 4;
// Up to this many mails found by the index are sorted by date; more are met by walking
// the mails from the newest, which stops at the last one asked for.
constexpr std::size_t kSortedCandidates = 2000;

constexpr const char* kHolds = " AND instr(m.folded, ?) > 0";

// A condition on the mails (aliased m) with its values, in the order of its parameters.
struct Where {
    std::string sql;
    std::vector<std::variant<std::string, std::int64_t>> values;

    void Add(const char* condition, std::variant<std::string, std::int64_t> value) {
        sql += condition;
        values.push_back(std::move(value));
    }
    void AddScanned(const std::vector<std::string>& words) {
        for (const std::string& word : words) Add(kHolds, word);
    }
    void Bind(CStatement& statement, int first = 1) const {
        for (const auto& value : values) {
            if (const auto* text = std::get_if<std::string>(&value))
                statement.Bind(first++, *text);
            else
                statement.Bind(first++, std::get<std::int64_t>(value));
        }
    }
};

Where FilterWhere(const MailSearchFilter& filter) {
    Where where;
    // A pal's mails by the (pal, date) index, not through a join.
    if (!filter.pal.empty()) where.Add(" AND m.pal_id = (SELECT id FROM pals WHERE address = ?)", filter.pal);
    if (filter.direction) where.Add(" AND m.direction = ?", std::int64_t{static_cast<int>(*filter.direction)});
    if (filter.since) where.Add(" AND m.date >= ?", filter.since->Format());
    if (filter.until) where.Add(" AND m.date < ?", CalendarDay{filter.until->number + 1}.Format());
    return where;
}

}  // namespace

void CArchiveSearch::AddWord(const std::string& word, SearchCondition& condition) {
    auto addMatch = [&condition](const std::string& part) {
        condition.match += (condition.match.empty() ? "" : " AND ") + part;
    };
    const std::size_t chars = CodePoints(word);
    if (chars > kLongWordChars) {
        addMatch(FtsString(Leading(word, kLongWordChars)));
        condition.scanned.push_back(word);
        return;
    }
    if (chars >= kIndexedChars) {
        addMatch(FtsString(word));
        return;
    }
    // The stored folded text ends with two line feeds, so that every word of one or two
    // characters begins some term of the index; those terms tell where it occurs.
    CStatement terms(m_db, "SELECT term, doc FROM temp.mails_vocab WHERE term >= ? AND term < ?");
    terms.Bind(1, word).Bind(2, word + "\xF4\x8F\xBF\xBF");
    std::string anyOf;
    std::int64_t mails = 0;
    std::size_t count = 0;
    while (terms.Step()) {
        anyOf += (anyOf.empty() ? "" : " OR ") + FtsString(terms.Text(0));
        mails += terms.Int(1);
        ++count;
    }
    if (count == 0)
        condition.nowhere = true;
    else if (mails <= kShortWordIndexLimit && count <= kShortWordTermLimit)
        addMatch("(" + anyOf + ")");
    else
        condition.scanned.push_back(word);
}

SearchCondition CArchiveSearch::ConditionFor(const std::vector<std::string>& words) {
    SearchCondition condition;
    for (const std::string& word : words) {
        AddWord(word, condition);
        if (condition.nowhere) break;
    }
    return condition;
}

bool CArchiveSearch::CommonInNewestMails(const std::vector<std::string>& words) {
    Where where;
    where.AddScanned(words);
    CStatement sample(m_db,
                      "SELECT count(*) FROM (SELECT folded FROM mails ORDER BY id DESC LIMIT ?) m WHERE 1" + where.sql);
    sample.Bind(1, std::int64_t{kSampleMails});
    where.Bind(sample, 2);
    sample.Step();
    return sample.Int(0) >= kCommonInSample;
}

std::vector<std::string> CArchiveSearch::PalsWith(const std::vector<std::string>& words) {
    if (words.empty()) return {};
    if (words.size() == 1 && CodePoints(words[0]) < kIndexedChars && CommonInNewestMails(words))
        return PalsByScan(words);
    const SearchCondition condition = ConditionFor(words);
    if (condition.nowhere) return {};
    return condition.match.empty() ? PalsByScan(condition.scanned) : PalsByIndex(condition);
}

std::vector<std::string> CArchiveSearch::PalsByScan(const std::vector<std::string>& words) {
    // Each pal's scan ends at its first hit.
    Where where;
    where.AddScanned(words);
    CStatement query(m_db, "SELECT p.address FROM pals p WHERE EXISTS (SELECT 1 FROM mails m WHERE m.pal_id = p.id" +
                               where.sql + ")");
    where.Bind(query);
    std::vector<std::string> pals;
    while (query.Step()) pals.push_back(query.Text(0));
    return pals;
}

std::vector<std::string> CArchiveSearch::PalsByIndex(const SearchCondition& condition) {
    // The index gives the matching mails one by one; once every pal with mails has a hit,
    // the rest cannot add one, so a common text stops early.
    CStatement palsWithMails(m_db,
                             "SELECT count(*) FROM pals p WHERE EXISTS (SELECT 1 FROM mails WHERE pal_id = p.id)");
    palsWithMails.Step();
    const auto all = static_cast<std::size_t>(palsWithMails.Int(0));
    Where where;
    where.AddScanned(condition.scanned);
    CStatement hits(
        m_db,
        "SELECT m.pal_id FROM mails_fts JOIN mails m ON m.id = mails_fts.rowid WHERE mails_fts MATCH ?" + where.sql);
    hits.Bind(1, condition.match);
    where.Bind(hits, 2);
    std::set<std::int64_t> found;
    while (found.size() < all && hits.Step()) found.insert(hits.Int(0));
    CStatement addresses(m_db, "SELECT id, address FROM pals");
    std::vector<std::string> pals;
    while (addresses.Step())
        if (found.contains(addresses.Int(0))) pals.push_back(addresses.Text(1));
    return pals;
}

std::vector<std::int64_t> CArchiveSearch::IndexedCandidates(const SearchCondition& condition,
                                                            const std::vector<std::string>& words) {
    std::vector<std::int64_t> ids;
    CStatement indexed(m_db, "SELECT rowid FROM mails_fts WHERE mails_fts MATCH ?");
    indexed.Bind(1, condition.match);
    while (indexed.Step()) ids.push_back(indexed.Int(0));
    // A read-only archive may hold mails its writer has not yet put into the index. CROSS
    // JOIN keeps them first: the other order looks into every mail.
    Where where;
    where.AddScanned(words);
    CStatement waiting(m_db, "SELECT m.id FROM unindexed u CROSS JOIN mails m ON m.id = u.id WHERE 1" + where.sql);
    where.Bind(waiting);
    while (waiting.Step()) ids.push_back(waiting.Int(0));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<std::int64_t> CArchiveSearch::NewestOf(const std::vector<std::int64_t>& candidates,
                                                   const SearchCondition& condition, const MailSearchFilter& filter,
                                                   std::size_t count) {
    Where where = FilterWhere(filter);
    where.AddScanned(condition.scanned);
    CStatement passes(m_db, "SELECT m.date FROM mails m WHERE m.id = ?" + where.sql);
    std::vector<std::pair<std::string, std::int64_t>> dated;
    for (std::int64_t id : candidates) {
        passes.Bind(1, id);
        where.Bind(passes, 2);
        if (passes.Step()) dated.emplace_back(passes.Text(0), id);
        passes.Reset();
    }
    const auto newest = dated.begin() + static_cast<std::ptrdiff_t>(std::min(count, dated.size()));
    std::partial_sort(dated.begin(), newest, dated.end(), std::greater<>());
    std::vector<std::int64_t> ids;
    for (auto it = dated.begin(); it != newest; ++it) ids.push_back(it->second);
    return ids;
}

std::vector<std::int64_t> CArchiveSearch::NewestByWalk(const std::vector<std::int64_t>* candidates,
                                                       const SearchCondition& condition, const MailSearchFilter& filter,
                                                       std::size_t count) {
    Where where = FilterWhere(filter);
    // Without the index's candidates every mail is looked into; with them, only those.
    if (!candidates) where.AddScanned(condition.scanned);
    CStatement walk(m_db, "SELECT m.id FROM mails m WHERE 1" + where.sql + " ORDER BY m.date DESC, m.id DESC");
    where.Bind(walk);
    // The index's candidates that also hold the words it could not look up.
    Where scanned;
    if (candidates) scanned.AddScanned(condition.scanned);
    CStatement holds(m_db, "SELECT 1 FROM mails m WHERE m.id = ?" + scanned.sql);
    std::vector<std::int64_t> ids;
    while (ids.size() < count && walk.Step()) {
        const std::int64_t id = walk.Int(0);
        if (candidates && !std::binary_search(candidates->begin(), candidates->end(), id)) continue;
        if (!scanned.values.empty()) {
            holds.Bind(1, id);
            scanned.Bind(holds, 2);
            const bool held = holds.Step();
            holds.Reset();
            if (!held) continue;
        }
        ids.push_back(id);
    }
    return ids;
}

MailSearchResults CArchiveSearch::Mails(const std::vector<std::string>& words, const MailSearchFilter& filter,
                                        std::size_t limit) {
    MailSearchResults results;
    if (words.empty()) return results;
    // One more than asked for tells whether there are more.
    const std::size_t wanted = limit == kAllMails ? limit : limit + 1;
    std::vector<std::int64_t> ids;
    // Words that a quarter of the newest mails hold are met sooner by walking the mails
    // from the newest than by reading all their places from the index.
    SearchCondition condition;
    if (limit != kAllMails && CommonInNewestMails(words)) {
        condition.scanned = words;
    } else {
        condition = ConditionFor(words);
        if (condition.nowhere) return results;
    }
    if (condition.match.empty()) {
        ids = NewestByWalk(nullptr, condition, filter, wanted);
    } else {
        const std::vector<std::int64_t> candidates = IndexedCandidates(condition, words);
        ids = candidates.size() <= kSortedCandidates ? NewestOf(candidates, condition, filter, wanted)
                                                     : NewestByWalk(&candidates, condition, filter, wanted);
    }
    results.more = ids.size() > limit;
    if (results.more) ids.pop_back();
    CStatement byId(m_db, std::string("SELECT ") + kStoredMailColumns +
                              " FROM mails m JOIN pals p ON p.id = m.pal_id WHERE m.id = ?");
    for (std::int64_t id : ids) {
        byId.Bind(1, id);
        if (byId.Step()) results.hits.push_back(HitOf(StoredMailAt(byId), words));
        byId.Reset();
    }
    return results;
}
