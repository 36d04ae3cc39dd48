#include "sync/literal_guard.h"

#include <algorithm>
#include <optional>

#include "sync/imap_response_line.h"

namespace {

// What of a refused line goes into the message.
constexpr std::size_t kRefusedLineKept = 160;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The size a line ending in "{digits}" (or "{digits+}") announces; libetpan allows blanks
// around the digits and before the line end. A number too long to read is UINT64_MAX.
std::optional<std::uint64_t> AnnouncedLiteral(std::string_view line) {
    line = TrimBlanks(line);
    if (!line.ends_with('}')) return std::nullopt;
    line = TrimBlanks(line.substr(0, line.size() - 1));
    if (line.ends_with('+')) line.remove_suffix(1);
    const std::size_t end = line.size();
    while (!line.empty() && line.back() >= '0' && line.back() <= '9') line.remove_suffix(1);
    const std::size_t digits = end - line.size();
    const std::size_t begin = line.size();
    line = TrimBlanks(line);
    if (digits == 0 || !line.ends_with('{')) return std::nullopt;
    if (digits > 18) return UINT64_MAX;
    std::uint64_t size = 0;
    for (std::size_t i = begin; i < end; ++i) size = size * 10 + static_cast<std::uint64_t>(line.data()[i] - '0');
    return size;
}

}  // namespace

bool CLiteralGuard::Refuse(GuardRefusal refusal) {
    m_refusal = refusal;
    return false;
}

bool CLiteralGuard::Feed(const char* data, std::size_t size) {
    if (m_refusal != GuardRefusal::None) return false;
    m_responseBytes += size;
    if (m_responseBytes > ResponseCap()) return Refuse(GuardRefusal::Response);
    std::size_t i = 0;
    while (i < size) {
        if (m_literalLeft > 0) {
            const std::uint64_t skip = std::min<std::uint64_t>(m_literalLeft, size - i);
            m_literalLeft -= skip;
            i += static_cast<std::size_t>(skip);
            continue;
        }
        const char c = data[i++];
        if (c == '\n') {
            if (!EndOfLine()) return false;
            m_line.clear();
            m_lineBytes = 0;
            continue;
        }
        if (++m_lineBytes > m_lineCap) return Refuse(GuardRefusal::Line);
        m_line.push_back(c);
    }
    return true;
}

// Every line that reads as a status line has its response code checked, wherever it stands;
// then the line tells whether the next one starts a response.
bool CLiteralGuard::EndOfLine() {
    std::string_view line(m_line);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!CheckLine(line)) return false;
    if (m_freeText) return true;
    FollowQuotes(line);
    if (m_inQuote) {
        m_responseStart = false;
        return true;
    }
    const std::optional<std::uint64_t> literal = AnnouncedLiteral(line);
    m_responseStart = !literal;
    if (!literal) return true;
    if (*literal > m_cap) {
        m_refused = *literal;
        return Refuse(GuardRefusal::Literal);
    }
    m_literalLeft = *literal;
    return true;
}

bool CLiteralGuard::CheckLine(std::string_view line) {
    const ImapLineShape shape = ShapeOfImapLine(line);
    // libetpan keeps one BADCHARSET list per answer and frees the second it meets twice.
    const bool secondBadCharset = shape.badCharset && m_badCharset;
    const bool greetingList = m_greeting && shape.stringList;
    m_greeting = false;
    if (!shape.valid || secondBadCharset || greetingList) {
        m_refusedLine = line.substr(0, kRefusedLineKept);
        return Refuse(GuardRefusal::Syntax);
    }
    m_badCharset = m_badCharset || shape.badCharset;
    if (!m_responseStart) return true;
    m_freeText = shape.kind != ImapLineKind::Data;
    m_inQuote = false;
    if (shape.tagged) m_badCharset = false;
    return true;
}

// A quoted string as libetpan reads it: a backslash escapes a quote or a backslash, and a
// line end does not close it.
void CLiteralGuard::FollowQuotes(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (!m_inQuote) {
            m_inQuote = line[i] == '"';
        } else if (line[i] == '\\') {
            if (i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        } else if (line[i] == '"') {
            m_inQuote = false;
        }
    }
}
