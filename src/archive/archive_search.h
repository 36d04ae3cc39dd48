// The archive's searches over its full-text index (trigrams of each mail's folded subject
// and body) and, where the index cannot answer, over the folded texts themselves. Inside
// the archive only: the caller holds the connection and catches what SQLite throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/mail_search.h"

class CSqliteDb;
class CStatement;

// The columns of a stored mail, for a query over mails aliased m joined to pals aliased p,
// read from a row that selects them first by StoredMailAt.
inline constexpr const char* kStoredMailColumns =
    "m.id, p.address, m.direction, m.date, m.subject, m.body, m.message_id, m.source";

// How the mails that hold every word are found: through the index (`match`, an FTS5
// expression; empty when no word can use it) and by looking into each mail's folded text
// for the words in `scanned`. `nowhere`: a word is in no mail.
struct SearchCondition {
    std::string match;
    std::vector<std::string> scanned;
    bool nowhere = false;
};

class CArchiveSearch {
public:
    explicit CArchiveSearch(CSqliteDb& db) : m_db(db) {}

    SearchCondition ConditionFor(const std::vector<std::string>& words);
    // Addresses of the pals with a mail that holds every word.
    std::vector<std::string> PalsWith(const std::vector<std::string>& words);
    // The newest `limit` mails that hold every word and pass `filter`, with their hits.
    MailSearchResults Mails(const std::vector<std::string>& words, const MailSearchFilter& filter, std::size_t limit);

private:
    // Adds the index's part for `word` to `condition`.
    void AddWord(const std::string& word, SearchCondition& condition);
    // Whether a quarter of the newest mails hold every word.
    bool CommonInNewestMails(const std::vector<std::string>& words);
    std::vector<std::string> PalsByScan(const std::vector<std::string>& words);
    std::vector<std::string> PalsByIndex(const SearchCondition& condition);
    // Ids of the mails the index finds, ascending, with those still waiting for the index
    // that hold every word.
    std::vector<std::int64_t> IndexedCandidates(const SearchCondition& condition,
                                                const std::vector<std::string>& words);
    std::vector<std::int64_t> NewestOf(const std::vector<std::int64_t>& candidates, const SearchCondition& condition,
                                       const MailSearchFilter& filter, std::size_t count);
    std::vector<std::int64_t> NewestByWalk(const std::vector<std::int64_t>* candidates,
                                           const SearchCondition& condition, const MailSearchFilter& filter,
                                           std::size_t count);

    CSqliteDb& m_db;
};
