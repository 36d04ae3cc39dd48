#include "archive/mail_search.h"

#include <algorithm>

#include "archive/text_fold.h"

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte after the character that starts at `at`.
std::size_t NextCharacter(std::string_view text, std::size_t at) {
    ++at;
    while (at < text.size() && IsContinuationByte(text[at])) ++at;
    return at;
}

std::size_t PreviousCharacter(std::string_view text, std::size_t at) {
    while (at > 0 && IsContinuationByte(text[--at])) {
    }
    return at;
}

bool IsBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\v'; }

// The piece of `folded` whose text holds the folded byte `at`.
const FoldedText::Piece& PieceAt(const FoldedText& folded, std::size_t at) {
    const auto after =
        std::upper_bound(folded.pieces.begin(), folded.pieces.end(), at,
                         [](std::size_t offset, const FoldedText::Piece& p) { return offset < p.folded; });
    return *(after - 1);
}

std::vector<TextSpan> Merged(std::vector<TextSpan> spans) {
    std::sort(spans.begin(), spans.end(), [](const TextSpan& a, const TextSpan& b) {
        return a.begin < b.begin || (a.begin == b.begin && a.end > b.end);
    });
    std::vector<TextSpan> merged;
    for (const TextSpan& span : spans) {
        if (!merged.empty() && span.begin < merged.back().end)
            merged.back().end = std::max(merged.back().end, span.end);
        else
            merged.push_back(span);
    }
    return merged;
}

constexpr const char* kLeftOut = "…";

}  // namespace

std::vector<std::string> SearchWords(std::string_view utf8Query) {
    const std::string folded = FoldForSearch(utf8Query);
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < folded.size()) {
        while (at < folded.size() && IsBlank(folded[at])) ++at;
        std::size_t end = at;
        while (end < folded.size() && !IsBlank(folded[end])) ++end;
        std::string word = folded.substr(at, end - at);
        if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end())
            words.push_back(std::move(word));
        at = end;
    }
    return words;
}

std::string FtsString(std::string_view word) {
    std::string quoted = "\"";
    for (char c : word) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::vector<TextSpan> FindWords(std::string_view text, const std::vector<std::string>& words) {
    if (text.empty() || words.empty()) return {};
    const FoldedText folded = FoldWithOrigins(text);
    std::vector<TextSpan> hits;
    for (const std::string& word : words) {
        for (std::size_t at = folded.text.find(word); at != std::string::npos;
             at = folded.text.find(word, at + word.size()))
            hits.push_back({PieceAt(folded, at).begin, PieceAt(folded, at + word.size() - 1).end});
    }
    return Merged(std::move(hits));
}

MailSnippet SnippetOf(std::string_view body, const std::vector<TextSpan>& bodyHits, std::size_t length) {
    std::size_t first = 0;
    while (first < body.size() && IsBlank(body[first])) ++first;
    std::size_t last = body.size();
    while (last > first && IsBlank(body[last - 1])) --last;
    // Up to a quarter of the length before the first hit, the rest after it; what the end
    // of the body leaves over goes before.
    const std::size_t anchor = bodyHits.empty() ? first : std::max(first, std::min(bodyHits.front().begin, last));
    std::size_t begin = anchor;
    std::size_t ahead = length / 4;
    for (; ahead > 0 && begin > first; --ahead) begin = PreviousCharacter(body, begin);
    std::size_t end = anchor;
    std::size_t left = length - length / 4 + ahead;
    for (; left > 0 && end < last; --left) end = NextCharacter(body, end);
    for (; left > 0 && begin > first; --left) begin = PreviousCharacter(body, begin);
    if (!bodyHits.empty()) end = std::min(last, std::max(end, bodyHits.front().end));

    MailSnippet snippet;
    if (begin > first) snippet.text = kLeftOut;
    // Each byte's place in the snippet, for the hits; blanks in a row become one space.
    std::vector<std::size_t> placed(end - begin + 1, 0);
    for (std::size_t at = begin; at < end; ++at) {
        placed[at - begin] = snippet.text.size();
        if (!IsBlank(body[at]))
            snippet.text += body[at];
        else if (snippet.text.empty() || snippet.text.back() != ' ')
            snippet.text += ' ';
    }
    placed[end - begin] = snippet.text.size();
    for (const TextSpan& hit : bodyHits) {
        const std::size_t from = std::max(hit.begin, begin), to = std::min(hit.end, end);
        if (from < to) snippet.hits.push_back({placed[from - begin], placed[to - begin]});
    }
    if (end < last) snippet.text += kLeftOut;
    return snippet;
}

MailSearchHit HitOf(StoredMail stored, const std::vector<std::string>& words) {
    MailSearchHit hit;
    hit.subjectHits = FindWords(stored.mail.subject, words);
    hit.bodyHits = FindWords(stored.mail.body, words);
    hit.snippet = SnippetOf(stored.mail.body, hit.bodyHits);
    hit.stored = std::move(stored);
    return hit;
}
