// Starting a mail to pals: one "mailto:" link naming the selected pals' addresses,
// handed to the desktop, which opens the user's mail program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/yubino_app.h"

inline constexpr std::string_view kMailtoScheme = "mailto:";

// "mailto:" followed by each address and "; " (the last one too), bytes as they stand.
std::string MakeMailtoLink(const std::vector<std::string>& addresses);

// Opens a link to the pal list's selected rows, in row order; with none selected, a
// blank message.
void SendMailToSelected(CYubinoApp& app);

// The link (code page 932) as the text of a URL: UTF-8, with every byte that a mailto URL
// cannot carry as it is percent-encoded. Letters, digits, "-._~", "@", ":" and the
// delimiters allowed inside an address ("!$'()*+,;") stay; "%", "/", "?", "#", "[", "]",
// "&" and "=" are encoded, since they would end the address or start a header field.
std::string MailtoLinkToUrl(std::string_view link);
