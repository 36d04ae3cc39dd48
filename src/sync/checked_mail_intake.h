// Where a mail fetched by the mailbox check enters the program. The CLI and the window's
// worker both hand every fetched mail to TakeCheckedMail.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "sync/imap_check.h"

class CYubinoApp;

struct CheckTally {
    std::size_t received = 0;
    std::size_t sent = 0;
    std::set<std::string> updated;  // addresses of the pals the mails updated
};

// The addresses the check asks the server about: every address of every pal, once.
std::vector<std::string> PalAddressesToCheck(const CYubinoApp& app);

// Takes one fetched mail in for good and counts it; false when it could not be kept (the
// check then stops, and the mail is fetched again next time).
// For now it only counts: a mail from a folder flagged \Sent is a sent one. The Internet
// mail reader (parse the bytes), the archive (store once by Message-ID, direction by the
// user's own addresses, in the same transaction as the sync point) and the batch intake
// rules (update the pal, fill `updated`) go here.
bool TakeCheckedMail(CYubinoApp& app, const std::vector<std::string>& ownAddresses, const FetchedMail& mail,
                     CheckTally& tally);
