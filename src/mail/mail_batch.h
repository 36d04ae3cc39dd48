// Taking in received Internet mail: one mail by the drop road, many at once by the
// batch rules. A pal is found by any of its three addresses, compared without regard to
// letter case; the pal's own spelling is kept.
#pragma once

#include <string>
#include <string_view>

#include "core/yubino_app.h"
#include "core/pen_pal.h"

// Whether two addresses name the same mailbox: equal as a whole, ASCII letter case aside,
// as every mail program treats them.
bool IsSameMailAddress(std::string_view a, std::string_view b);

// The batch rules for one received mail of a known pal: a newer mail replaces the last
// mail (date and stored text), an older one moves the first mail date back. True when the
// pal changed.
bool ApplyBatchRules(CPenPal& pal, const COleDateTime& date, const std::string& storedText);

// The first pal whose mail address, second mail address or mobile address is `address`.
bool FindPalByAnyAddress(const CYubinoApp& app, std::string_view address, CPenPal& pal);
