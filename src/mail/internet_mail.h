// Internet mail (RFC 5322 with MIME) read into the same record as a dropped mail text,
// with what the mail archive keeps besides. GMime does the reading; no GMime type is
// seen outside the mail library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pen_pal.h"

// Where the received date came from.
enum class MailDateSource {
    kDateHeader,      // the Date: field
    kReceivedHeader,  // the newest Received: field (the Date: field was missing or broken)
    kFileTime,        // the file's modification time (no usable date in the mail)
    kReadTime,        // the time of reading (no date and no file)
    kDateLine,        // the date line of a Japanese mail text
};

struct ParsedMail {
    // Handle name (the From display name), mail address, last mail date (local time with
    // its time of day), last mail text (the body in stored form) and home page (the body's
    // last http or https link), all code page 932; every other field at its default.
    CPenPal pal;
    MailDateSource dateSource = MailDateSource::kDateHeader;
    // Characters code page 932 cannot hold, stored as "?" in the name and the body.
    int replacedCharacters = 0;
    // Attachments and forwarded messages, counted, never read.
    int attachments = 0;

    // For the mail archive, UTF-8. Empty for a Japanese mail text, which carries none.
    std::string messageId;  // without angle brackets; "<sha256 hex>@yubino.invalid" when missing
    std::string subject;
    std::string body;         // lines end with LF
    std::string fromAddress;  // the sender's address as written
    std::vector<std::string> toAddresses;
    std::vector<std::string> ccAddresses;
    std::int64_t unixTime = 0;  // the received date as seconds since 1970-01-01 UTC
};

enum class MailReadStatus {
    kRead,
    kNotMail,    // no header block, or From, Subject and To all empty
    kNoAddress,  // no sender address with a domain
};

struct MailReadResult {
    MailReadStatus status = MailReadStatus::kNotMail;
    ParsedMail mail;
    bool Ok() const { return status == MailReadStatus::kRead; }
};

// Whether `head` (the first bytes of a text or file) starts an Internet message: header
// fields up to the first empty line (or the end of `head`), among them From. An mbox
// "From " line before them is allowed. Cheap: no parsing beyond the field names.
bool LooksLikeInternetMessage(std::string_view head);

// One message from its bytes (an .eml file, a dropped text, message/rfc822 data).
// `fileTime` (seconds since 1970 UTC) is the date used when the mail gives none.
MailReadResult ReadInternetMessage(std::string_view bytes, std::optional<std::int64_t> fileTime = std::nullopt);

// The message for a refusal, as UTF-8 (one of texts::).
const char* MailReadFailureMessage(MailReadStatus status);
