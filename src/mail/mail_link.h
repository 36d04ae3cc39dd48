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

// The link (code page 932) as the URL handed to the desktop. Mail programs read the form
// of RFC 6068: the addresses separated by commas, with no empty one, so the "; " after
// each address becomes a comma between them. The text is UTF-8, with every byte that a
// mailto URL cannot carry as it is percent-encoded: letters, digits, "-._~", "@", ":" and
// the delimiters allowed inside an address ("!$'()*+,;") stay; "%", "/", "?", "#", "[",
// "]", "&" and "=" are encoded, since they would end the address or start a header field.
std::string MailtoLinkToUrl(std::string_view link);

// Whether `target` is a mailto URL already encoded (as a reply's is), not a link of
// MakeMailtoLink: those put "; " after every address, and an encoded URL has no blank.
bool IsEncodedMailtoUrl(std::string_view target);

// UTF-8 text as a mailto URL carries it in an address or a header field's value: every
// byte but letters, digits and "-._~!$'()*+,;:@" percent-encoded.
std::string PercentEncodeForMailto(std::string_view utf8);
// The length of that encoding.
std::size_t MailtoEncodedLength(std::string_view utf8);
