// Mail search as the user types it: the text split into words, each matched loosely (width,
// kana and letter case aside) and literally, never as query syntax; where the words occur in
// a mail's own text, for marking them; and a one-line snippet around the first hit.
// Qt-free; texts are UTF-8, positions are byte offsets.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/mail_record.h"
#include "archive/reply_queue.h"
#include "core/text_spans.h"

// The folded words of a search text, each once, in the order typed. White space (the
// ideographic space too) separates words; a mail must hold every word.
std::vector<std::string> SearchWords(std::string_view utf8Query);

// A word as an FTS5 string: in double quotes, inner quotes doubled, so that no typed text
// is read as query syntax ("NEAR", "*", "-", parentheses).
std::string FtsString(std::string_view word);

// Where the words occur in `text` (its own, unfolded bytes), in order, overlapping hits
// merged into one. A hit covers whole characters of `text`, also where folding changed
// their number (half-width "ｶﾞ" is one folded character).
std::vector<TextSpan> FindWords(std::string_view text, const std::vector<std::string>& words);

// A line of a mail's body around its first hit: line breaks shown as spaces, "…" where text
// was left out, the hits inside it given as offsets into `text`.
struct MailSnippet {
    std::string text;
    std::vector<TextSpan> hits;
    bool operator==(const MailSnippet&) const = default;
};
// About `length` characters, the first hit after up to a quarter of them; without hits,
// the body's beginning.
MailSnippet SnippetOf(std::string_view body, const std::vector<TextSpan>& bodyHits, std::size_t length = 80);

// Which mails the search is narrowed to.
struct MailSearchFilter {
    std::string pal;  // the archive's address; empty: every pal
    std::optional<MailDirection> direction;
    std::optional<CalendarDay> since;  // both days included
    std::optional<CalendarDay> until;
};

struct MailSearchHit {
    StoredMail stored;
    std::vector<TextSpan> subjectHits;
    std::vector<TextSpan> bodyHits;
    MailSnippet snippet;
};

// A limit on the mails found that is none.
inline constexpr std::size_t kAllMails = static_cast<std::size_t>(-1);
// The mails a search shows first, and again as many each time the user asks for more.
inline constexpr std::size_t kSearchPage = 200;

struct MailSearchResults {
    std::vector<MailSearchHit> hits;  // newest first
    bool more = false;                // more mails match than were asked for
};

// The hits of one found mail, with its snippet.
MailSearchHit HitOf(StoredMail stored, const std::vector<std::string>& words);
