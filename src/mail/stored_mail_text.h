// The stored form of a mail text: every line feed of the mail becomes a backspace byte
// (0x08), so a CR LF line end is kept as CR BS. The pal data file holds this form.
#pragma once

#include <string>
#include <string_view>

inline constexpr char kStoredLineBreak = '\b';

// The text with each LF byte replaced by BS.
std::string ToStoredMailText(std::string_view text);

// The text for display: each BS becomes CR LF (a stored CR BS therefore shows as CR CR LF),
// then trailing blanks and control bytes (32 or less) are cut. Bytes of 128 and above are
// never cut: they belong to double-byte characters.
std::string FormatMailTextForDisplay(std::string_view stored);
