// A pal's conversation: the mails received and sent, interleaved by date, each under a
// header block (from, to, date, subject, attachments counted) with its text below. It is
// read a page at a time, from the newest mail back, so that a pal of thousands of mails
// shows at once; where a page goes (above or below what is shown) follows the order the
// user chose.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "archive/mail_record.h"

enum class ConversationOrder { NewestAtBottom, NewestAtTop };

inline constexpr int kConversationPageSize = 25;

// The pal a conversation is with (UTF-8): its address in the archive and its handle name.
struct ConversationPal {
    std::string address;
    std::string name;
};

struct ConversationHeaderLine {
    const char* label = "";  // one of texts::, UTF-8
    std::string value;
};

struct ConversationMail {
    std::int64_t id = 0;
    MailDirection direction = MailDirection::Received;
    std::vector<ConversationHeaderLine> header;
    // The mail's text without trailing blank lines, or the program's note for a mail without text.
    std::string body;
    bool bodyIsNote = false;
};

struct ConversationPage {
    std::vector<ConversationMail> mails;  // as shown, top to bottom
    bool goesOnTop = false;               // above the mails shown so far, else below them
    // Where the next, older page starts; none when no older mail remains.
    std::optional<CMailArchive::MailKey> next;
};

// The page of `newestFirst` (at most `pageSize` mails shown; one more tells that older ones
// remain) as the conversation with `pal` shows it in `order`. The user's side is named by
// the first of `ownAddresses` where a mail's header gives none.
ConversationPage ArrangeConversationPage(const std::vector<StoredMail>& newestFirst, const ConversationPal& pal,
                                         const std::vector<std::string>& ownAddresses, ConversationOrder order,
                                         int pageSize = kConversationPageSize);

// The page of the conversation with `pal` older than `olderThan` (from the newest mail when
// not given), read from `archive`; a failed status when it cannot be read.
ArchiveResult<ConversationPage> ReadConversationPage(CMailArchive& archive, const ConversationPal& pal,
                                                     ConversationOrder order,
                                                     const std::optional<CMailArchive::MailKey>& olderThan,
                                                     int pageSize = kConversationPageSize);

// "2026/12/07(月) 09:30" for the archive's "2026-12-07T09:30:00".
std::string ConversationDate(const std::string& archiveDate);
