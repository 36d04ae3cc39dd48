// Whether a text typed as a mail address is one: "name@domain" without the display name,
// brackets or blanks that belong around an address, not in it.
#pragma once

#include <string_view>

// One "@" between a local part and a domain of dot-separated labels, none empty; no
// blank, control character or any of "<>()[]\,;:\"". Letters outside ASCII are allowed.
bool IsMailAddress(std::string_view text);
