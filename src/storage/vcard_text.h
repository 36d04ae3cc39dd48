// The text of vCard values as Yubino writes them: escapes, and the two forms that only
// Yubino's own properties carry.
#pragma once

#include <string>
#include <string_view>

// The parameter that keeps an address or number in its place when the one before is empty.
inline constexpr std::string_view kVCardSlotParam = "X-YUBINO-SLOT";

// A text value (code page 932) as UTF-8 with "\\", "\," and "\;" escaped and every line
// break ("\r\n", "\n" or "\r") written "\n", as vCard has no escape for a carriage return.
std::string EscapeVCardText(std::string_view cp932Text);

// The stored mail text keeps a line break as a backspace byte, mostly after a carriage
// return; a vCard line can hold neither, so both get an escape of their own ("\n", "\r").
// Code page 932 in, UTF-8 out, and back.
std::string EscapeStoredMailText(std::string_view cp932Text);
std::string UnescapeStoredMailText(std::string_view value);
