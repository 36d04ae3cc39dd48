#include "mail/mail_text_parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/cp932.h"
#include "core/texts.h"
#include "mail/date_line.h"
#include "mail/stored_mail_text.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The bytes a home page address may hold. The percent sign is listed twice, as the
// program always has; the backslash belongs to the set.
constexpr std::string_view kUrlCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-=:~/.?%%_#&\\+";
constexpr std::string_view kLinkStart = "http://";
constexpr std::string_view kSecureLinkStart = "https://";

constexpr std::array<bool, 256> MakeUrlByteTable() {
    std::array<bool, 256> table{};
    for (char c : kUrlCharacters) table[static_cast<unsigned char>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> kIsUrlByte = MakeUrlByteTable();

const std::string& SenderKeyword() {
    static const std::string keyword = Cp932Text(texts::kSenderKeyword);
    return keyword;
}

const std::string& SubjectKeyword() {
    static const std::string keyword = Cp932Text(texts::kSubjectKeyword);
    return keyword;
}

// Start of the line after the one starting at `start`; npos when no LF ends that line
// (or `start` is already npos, a line the text does not hold).
std::size_t NextLineStart(std::string_view text, std::size_t start) {
    if (start == npos) return npos;
    std::size_t lf = text.find('\n', start);
    return lf == npos ? npos : lf + 1;
}

// The line starting at `start`, without its LF; a line the text does not hold is empty.
std::string_view LineAt(std::string_view text, std::size_t start) {
    if (start == npos) return {};
    std::size_t lf = text.find('\n', start);
    return text.substr(start, lf == npos ? npos : lf - start);
}

// The bytes after the first `open` up to the first `close` found from two bytes after it,
// so a single `close` right after `open` does not end the text. Empty without both.
std::string DelimitedText(std::string_view line, char open, char close) {
    std::size_t from = line.find(open);
    if (from == npos) return {};
    std::size_t to = line.find(close, from + 2);
    if (to == npos) return {};
    return std::string(line.substr(from + 1, to - from - 1));
}

// A position is a character boundary when the run of lead-byte values right before it
// is of even length: the byte before such a run always ends a character, and from there
// each lead byte takes the next byte as its trail.
bool IsCharBoundary(std::string_view text, std::size_t pos) {
    std::size_t run = 0;
    while (run < pos && cp932::IsLeadByte(static_cast<unsigned char>(text[pos - run - 1]))) ++run;
    return run % 2 == 0;
}

// The last occurrence of `needle` that starts on a character boundary, or npos. Searches
// backwards for the needle's last byte with memrchr, so a long text without the needle
// costs one fast scan. Linear as long as the needle holds a byte that is no lead byte:
// then the lead-byte runs checked before different matches never overlap.
std::size_t FindLastOnCharBoundary(std::string_view text, std::string_view needle) {
    if (needle.empty() || text.size() < needle.size()) return npos;
    const char last = needle.back();
    std::size_t end = text.size();  // the next match must end before `end`
    while (end >= needle.size()) {
        const void* hit = memrchr(text.data() + needle.size() - 1, last, end - needle.size() + 1);
        if (!hit) return npos;
        std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) + 1 - needle.size();
        if (text.compare(at, needle.size(), needle) == 0 && IsCharBoundary(text, at)) return at;
        end = at + needle.size() - 1;
    }
    return npos;
}

// The link starting at `start` with the URL characters that follow; empty for npos.
std::string LinkAt(std::string_view stored, std::size_t start) {
    if (start == npos) return {};
    std::size_t end = start;
    while (end < stored.size() && kIsUrlByte[static_cast<unsigned char>(stored[end])]) ++end;
    return std::string(stored.substr(start, end - start));
}

}  // namespace

std::string FindHomePage(std::string_view stored) { return LinkAt(stored, FindLastOnCharBoundary(stored, kLinkStart)); }

std::string FindLastWebLink(std::string_view stored) {
    const std::size_t http = FindLastOnCharBoundary(stored, kLinkStart);
    const std::size_t https = FindLastOnCharBoundary(stored, kSecureLinkStart);
    if (http == npos) return LinkAt(stored, https);
    return LinkAt(stored, https == npos ? http : std::max(http, https));
}

MailParseResult ParseMailText(std::string_view text) {
    MailParseResult result;
    // The sender line is header line 1, counted from its keyword, wherever that stands.
    const std::size_t line1 = cp932::Find(text, SenderKeyword());
    if (line1 == npos) {
        result.failure = MailParseFailure::kNoSenderKeyword;
        return result;
    }
    const std::size_t line2 = NextLineStart(text, line1);
    // Without an LF after the keyword the sender line counts as empty.
    const std::string_view senderLine = line2 == npos ? std::string_view{} : text.substr(line1, line2 - 1 - line1);

    CPenPal& mail = result.mail;
    mail.m_strHandleName = DelimitedText(senderLine, '"', '"');
    mail.m_strMailAddress = DelimitedText(senderLine, '<', '>');
    if (mail.m_strMailAddress.empty()) {
        result.failure = MailParseFailure::kNoMailAddress;
        return result;
    }

    const std::size_t line3 = NextLineStart(text, line2);
    const std::size_t line4 = NextLineStart(text, line3);
    const bool hasSubject = cp932::Find(LineAt(text, line3), SubjectKeyword()) != npos;
    ReadReceivedDate(LineAt(text, hasSubject ? line4 : line3), mail.m_dtLastMail);

    // The body starts after header line 5 whether or not there was a subject line.
    const std::size_t body = NextLineStart(text, NextLineStart(text, line4));
    mail.m_strLastMailText = ToStoredMailText(body == npos ? std::string_view{} : text.substr(body));
    mail.m_strHomePage = FindHomePage(mail.m_strLastMailText);
    return result;
}

const char* MailParseFailureMessage(MailParseFailure failure) {
    switch (failure) {
        case MailParseFailure::kNoSenderKeyword:
            return texts::kDroppedFormatInvalid;
        case MailParseFailure::kNoMailAddress:
            return texts::kMailAddressNotFound;
        case MailParseFailure::kNone:
            break;
    }
    return "";
}
