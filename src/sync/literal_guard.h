// Watches the bytes an IMAP server sends for the sizes of literals ("{12345}" at a line's
// end) and refuses one larger than a cap before the protocol library allocates for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CLiteralGuard {
public:
    explicit CLiteralGuard(std::uint64_t cap) : m_cap(cap) {}

    // False once a literal larger than the cap was announced; the bytes must not be passed on.
    bool Feed(const char* data, std::size_t size);
    // The size of the refused literal (a number too long to read counts as UINT64_MAX).
    std::uint64_t Refused() const { return m_refused; }
    void SetCap(std::uint64_t cap) { m_cap = cap; }

private:
    bool EndOfLine();

    std::uint64_t m_cap;
    std::uint64_t m_literalLeft = 0;  // bytes of a literal still to come: not looked at
    std::uint64_t m_refused = 0;
    std::string m_tail;  // the end of the current line, enough to hold "{size}\r"
};
