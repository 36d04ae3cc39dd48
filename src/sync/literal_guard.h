// Watches the bytes an IMAP server sends before the protocol library buffers them: refuses a
// literal announced larger than a cap ("{12345}" at a line's end), a line longer than any
// server writes, an answer to one command larger than the biggest the check asks for, and a
// status line whose response code the library would crash on (see imap_response_line.h).
// Without these, a server that never ends a line makes the reader buffer without limit.
//
// To know which lines start a response it follows the answer as libetpan reads it: literals
// and quoted strings (which may run over a line end) continue a response; a status line is
// free text, where "{5}" and quotes are just characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class GuardRefusal { None, Literal, Line, Response, Syntax };

class CLiteralGuard {
public:
    // No server writes a line this long outside a literal: a SEARCH that finds a million
    // mails fits in it.
    static constexpr std::uint64_t kMaxLineBytes = 8 * 1024 * 1024;

    explicit CLiteralGuard(std::uint64_t cap, std::uint64_t lineCap = kMaxLineBytes) : m_cap(cap), m_lineCap(lineCap) {}

    // False once something above a cap came; the bytes must not be passed on.
    bool Feed(const char* data, std::size_t size);
    // A new command was sent: its answer is counted from here.
    void NewCommand() { m_responseBytes = 0; }
    GuardRefusal Refusal() const { return m_refusal; }
    // The size of the refused literal (a number too long to read counts as UINT64_MAX).
    std::uint64_t Refused() const { return m_refused; }
    void SetCap(std::uint64_t cap) { m_cap = cap; }
    // An answer may hold one literal at the cap, and lines up to the line cap besides.
    std::uint64_t ResponseCap() const { return m_cap + m_lineCap; }
    // The start of the refused status line, for the message.
    const std::string& RefusedLine() const { return m_refusedLine; }

private:
    bool EndOfLine();
    bool CheckLine(std::string_view line);
    void FollowQuotes(std::string_view line);
    bool Refuse(GuardRefusal refusal);

    std::uint64_t m_cap;
    std::uint64_t m_lineCap;
    std::uint64_t m_literalLeft = 0;  // bytes of a literal still to come: not looked at
    std::uint64_t m_lineBytes = 0;
    std::uint64_t m_responseBytes = 0;
    std::uint64_t m_refused = 0;
    GuardRefusal m_refusal = GuardRefusal::None;
    std::string m_line;           // the current line since its start or the end of a literal
    bool m_greeting = true;       // the current line is the server's first
    bool m_responseStart = true;  // the current line starts a response
    bool m_freeText = false;      // the current response is a status or continuation line
    bool m_inQuote = false;       // a quoted string runs on into the next line
    bool m_badCharset = false;    // the current answer had a BADCHARSET code
    std::string m_refusedLine;
};
