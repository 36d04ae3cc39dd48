// What the pal table tells the record of each pal's mails beyond its last one (the
// correspondence archive): a mail taken in, an address changed, a pal deleted. The table
// works the same without one.
#pragma once

#include <string>

class CPenPal;

class CPalHistory {
public:
    virtual ~CPalHistory() = default;

    // `pal` as stored after the intake: its last mail's date and text are the new mail.
    // `before` is the pal as it was (null for a new pal): its last mail is kept too, in
    // case the archive had not seen it yet. `source` names the road ("drop", "clipboard").
    virtual void MailTakenIn(const CPenPal* before, const CPenPal& pal, const char* source) = 0;
    virtual void AddressChanged(const std::string& oldAddress, const std::string& newAddress) = 0;
    // Whether any mail of the pal is kept, so that deleting it asks about them.
    virtual bool HasMails(const std::string& address) = 0;
    // A pal left the table; its mails go too when `deleteMails`, otherwise they wait
    // for the address to come back.
    virtual void PalDeleted(const std::string& address, bool deleteMails) = 0;
};
