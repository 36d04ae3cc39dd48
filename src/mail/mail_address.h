// Whether a text typed as a mail address is one: "name@domain" without the display name,
// brackets or blanks that belong around an address, not in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One "@" between a local part and a domain of dot-separated labels, none empty; no
// blank, control character or any of "<>()[]\,;:\"". Letters outside ASCII are allowed.
bool IsMailAddress(std::string_view text);

// The addresses of a text holding one a line, blank lines and the blanks around each
// dropped; `refused` is the first line that is no address, empty when every one is.
struct AddressLines {
    std::vector<std::string> addresses;
    std::string refused;
};
AddressLines ReadAddressLines(std::string_view text);
