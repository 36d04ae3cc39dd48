#include "sync/literal_guard.h"

#include <algorithm>

namespace {
constexpr std::size_t kTailKept = 32;
}

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
            m_tail.clear();
            m_lineBytes = 0;
            continue;
        }
        if (++m_lineBytes > m_lineCap) return Refuse(GuardRefusal::Line);
        m_tail.push_back(c);
        if (m_tail.size() > 2 * kTailKept) m_tail.erase(0, m_tail.size() - kTailKept);
    }
    return true;
}

// A line ending in "{digits}\r" (or "{digits+}\r") announces that many bytes of literal.
bool CLiteralGuard::EndOfLine() {
    std::string_view line(m_tail);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!line.ends_with('}')) return true;
    line.remove_suffix(1);
    if (line.ends_with('+')) line.remove_suffix(1);
    const std::size_t open = line.rfind('{');
    if (open == std::string_view::npos) return true;
    const std::string_view digits = line.substr(open + 1);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char d) { return d >= '0' && d <= '9'; }))
        return true;
    if (digits.size() > 18) {
        m_refused = UINT64_MAX;
        return Refuse(GuardRefusal::Literal);
    }
    std::uint64_t size = 0;
    for (char d : digits) size = size * 10 + static_cast<std::uint64_t>(d - '0');
    if (size > m_cap) {
        m_refused = size;
        return Refuse(GuardRefusal::Literal);
    }
    m_literalLeft = size;
    return true;
}
