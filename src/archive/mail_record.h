// One mail as the archive keeps it, and the rule that files a mail under pals: a plain
// record that every reader (the Japanese text drop, the clipboard, Internet mail) fills.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class MailDirection { Received = 0, Sent = 1 };

// The source of a sent entry without text that only records "返事を書いた".
inline constexpr const char* kAnsweredSource = "answered";

struct MailRecord {
    // The pal's address the mail is filed under; left empty, FileMail decides it from
    // the header addresses below.
    std::string pal;
    MailDirection direction = MailDirection::Received;
    // Local time, "YYYY-MM-DDTHH:MM:SS".
    std::string date;
    // UTF-8 with LF line ends.
    std::string subject;
    std::string body;
    // Without the angle brackets; empty when the mail has none.
    std::string messageId;
    // Where it came from: "drop", "clipboard", "seed", "answered", or a reader's own name.
    std::string source;
    // The header addresses: they file the mail, and a conversation shows them.
    std::string from;
    std::vector<std::string> to;
    std::vector<std::string> cc;
    // Attachments and forwarded messages the mail carried, counted.
    int attachments = 0;
};

struct StoredMail {
    std::int64_t id = 0;
    MailRecord mail;
};

// Finds the pal with an address (compared as the pal table compares it); gives the pal's
// own spelling of the address, or nothing when no pal has it.
using FindPalFn = std::function<std::optional<std::string>(std::string_view address)>;

// The copies of `mail` to store, one per pal it belongs to. A mail with `pal` set is kept
// as it is. A mail from one of `ownAddresses` (letter case aside) is sent, filed under
// each pal among its To and Cc recipients; any other mail is received from its sender.
// A mail between the user and no pal gives none.
std::vector<MailRecord> FileMail(const MailRecord& mail, const std::vector<std::string>& ownAddresses,
                                 const FindPalFn& findPal);

// An address list in the archive's form, one address a line, and back.
std::string JoinAddresses(const std::vector<std::string>& addresses);
std::vector<std::string> SplitAddresses(std::string_view joined);

// True when two addresses are the same mailbox to a reader: ASCII letter case aside.
bool SameAddress(std::string_view a, std::string_view b);
