// Mail addresses as every mail program compares them: as a whole, ASCII letter case
// aside. The pal table keeps each address as it was spelled.
#pragma once

#include <string_view>

#include "core/pen_pal.h"

class CYubinoApp;

// Whether two addresses name the same mailbox.
bool IsSameMailAddress(std::string_view a, std::string_view b);

// The first pal whose mail address, second mail address or mobile address is `address`.
bool FindPalByAnyAddress(const CYubinoApp& app, std::string_view address, CPenPal& pal);
