#include "sync/checked_mail_intake.h"

#include <algorithm>

#include "core/yubino_app.h"

std::vector<std::string> PalAddressesToCheck(const CYubinoApp& app) {
    std::vector<std::string> addresses;
    for (const CPenPal& pal : app.Pals()) {
        for (const std::string* address : {&pal.m_strMailAddress, &pal.m_strMailAddress2, &pal.m_strMobileAddress}) {
            // Addresses are ASCII; anything else cannot be searched for on the server.
            const bool ascii = std::all_of(address->begin(), address->end(), [](char c) { return c > ' ' && c < 0x7f; });
            if (!address->empty() && ascii) addresses.push_back(*address);
        }
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

bool TakeCheckedMail(CYubinoApp&, const std::vector<std::string>&, const FetchedMail& mail, CheckTally& tally) {
    if (mail.sentFolder)
        ++tally.sent;
    else
        ++tally.received;
    return true;
}
