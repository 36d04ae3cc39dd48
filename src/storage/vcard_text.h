// The text of vCard values as Yubino writes them: escapes, and the two forms that only
// Yubino's own properties carry.
#pragma once

#include <string>
#include <string_view>

// The parameter that keeps an address or number in its place when the one before is empty.
inline constexpr std::string_view kVCardSlotParam = "X-YUBINO-SLOT";

// A UTF-8 text value with "\\", "\," and "\;" escaped and every line break written "\n".
std::string EscapeVCardUtf8(std::string_view text);
// A text value (code page 932) as UTF-8 with "\\", "\," and "\;" escaped and every line
// break ("\r\n", "\n" or "\r") written "\n", as vCard has no escape for a carriage return.
std::string EscapeVCardText(std::string_view cp932Text);

// The stored mail text keeps a line break as a backspace byte, mostly after a carriage
// return: each is written "\n", and read back as a carriage return and a backspace (an
// import into a pal that has the same text keeps its own line breaks). Code page 932 in,
// UTF-8 out, and back.
std::string EscapeStoredMailText(std::string_view cp932Text);
std::string UnescapeStoredMailText(std::string_view value);

// The parameter that keeps the forms of a text's line breaks, as vCard writes them all "\n".
inline constexpr std::string_view kVCardBreaksParam = "X-YUBINO-BREAKS";
// One letter per line break of a stored text (C: "\r" and a break, L: a break alone, R: "\r"
// alone, a break being "\n" or the stored mail text's "\b"); "" when every one is C.
std::string LineBreakForms(std::string_view text);
// The text with its line breaks in those forms again, `lineBreak` the break ("\n" or "\b");
// a break beyond the forms is C.
std::string RestoreLineBreaks(std::string_view text, std::string_view forms, char lineBreak);
