// The first line of an IMAP response as RFC 3501 writes it, read before the protocol library
// reads it. libetpan crashes on some malformed response codes (a PERMANENTFLAGS list cut
// after "(", an ALERT or PARSE without text, a second BADCHARSET in one answer), so a status
// line whose code is not exactly what the RFC allows never reaches it. A greeting must not
// carry a list of strings at all: libetpan reads the greeting without what its string
// reader needs and crashes on the first one.
//
// Telling a status line from the rest is as lenient as libetpan (case, runs of spaces and
// tabs), so that no line it reads as a status escapes; the code itself is checked strictly.
#pragma once

#include <string_view>

enum class ImapLineKind {
    Status,        // "tag OK|NO|BAD ..." or "* OK|NO|BAD|BYE|PREAUTH ...": free text after the code
    Continuation,  // "+ ...": free text as well
    Data,          // anything else: strings may be quoted or literals
};

struct ImapLineShape {
    ImapLineKind kind = ImapLineKind::Data;
    bool tagged = false;      // a tagged status: the last line of an answer
    bool valid = true;        // false: a response code libetpan must not see
    bool badCharset = false;  // carries a BADCHARSET code
    bool stringList = false;  // carries a BADCHARSET or PERMANENTFLAGS code (lists of strings)
};

// `line` without its line end.
ImapLineShape ShapeOfImapLine(std::string_view line);
