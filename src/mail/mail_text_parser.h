// Reads a received mail's text (code page 932, lines ending in LF) for the sender's name
// and address, the received date, the body and the last web link of the body. The header
// it accepts: a sender line "送信者 ... \"name\" <address>", one more line, an optional
// subject line "件名 ...", the date line "日時 :  2002年 5月 3日 ...", header lines up to
// the fifth, then the body.
#pragma once

#include <string>
#include <string_view>

#include "core/pen_pal.h"

enum class MailParseFailure {
    kNone,
    kNoSenderKeyword,  // the text holds no sender line
    kNoMailAddress,    // the sender line holds no address in angle brackets
};

struct MailParseResult {
    MailParseFailure failure = MailParseFailure::kNone;
    // The parsed mail: handle name, mail address, last mail date, last mail text (stored
    // form) and home page set; every other field at its default.
    CPenPal mail;

    bool Ok() const { return failure == MailParseFailure::kNone; }
};

// Never talks to the user: the caller shows MailParseFailureMessage on failure.
MailParseResult ParseMailText(std::string_view text);

// The message for a failure, as UTF-8 (one of texts::).
const char* MailParseFailureMessage(MailParseFailure failure);

// The last "http://" of a stored mail text that starts on a character boundary, with the
// URL characters that follow it; empty when there is none.
std::string FindHomePage(std::string_view stored);

// The last "http://" or "https://" link of a stored mail text, as FindHomePage finds one.
std::string FindLastWebLink(std::string_view stored);
