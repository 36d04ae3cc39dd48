// Inside the mail library: the header fields the reader takes from a GMime message, as
// UTF-8, with Japanese mail's ISO-2022-JP words read in full.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mail/gmime_message_reader.h"

struct MailSender {
    std::string name;     // the display name, decoded; may be empty
    std::string address;  // as written
};

// The first mailbox of the From field (groups opened), or nothing.
std::optional<MailSender> SenderOf(GMimeMessage* message);
std::string SubjectOf(GMimeMessage* message);
// The mailboxes' addresses of To or Cc.
std::vector<std::string> AddressesOf(GMimeMessage* message, GMimeAddressType type);
