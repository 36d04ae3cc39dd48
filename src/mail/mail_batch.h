// The batch rules of mail intake. A pal is found by any of its three addresses, compared
// without regard to letter case (core/mail_address.h); the pal's own spelling is kept.
#pragma once

#include <string>

#include "core/mail_address.h"
#include "core/pen_pal.h"

// The batch rules for one received mail of a known pal: a newer mail replaces the last
// mail (date and stored text), an older one moves the first mail date back. True when the
// pal changed.
bool ApplyBatchRules(CPenPal& pal, const COleDateTime& date, const std::string& storedText);

// The first pal whose mail address, second mail address or mobile address is `address`.
bool FindPalByAnyAddress(const CYubinoApp& app, std::string_view address, CPenPal& pal);
