// Text in code page 932 (the Windows form of Shift-JIS): the byte-level helpers the
// program needs, and conversion to and from UTF-8 through glibc iconv.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cp932 {

// Lead bytes of double-byte characters.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Byte length of the character starting at text[pos] (1, or 2 for a lead byte that has a
// trail byte; a lead byte at the very end counts as one byte).
std::size_t CharLength(std::string_view text, std::size_t pos);

// Character order: a double-byte character has the code lead*256+trail, a single byte its
// value; the first differing character decides, a prefix sorts first. <0, 0 or >0.
int Compare(std::string_view a, std::string_view b);

// First position at or after `from` where `needle` starts on a character boundary, or npos.
// Matches never start on the trail byte of a double-byte character.
std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Full-width characters to their half-width forms where one exists (digits, letters, space,
// ASCII punctuation, katakana); other characters are kept.
std::string ToHalfWidth(std::string_view text);
// Half-width characters to full width (the reverse of ToHalfWidth).
std::string ToFullWidth(std::string_view text);

// Code page 932 to UTF-8. Bytes that are no valid code page 932 are written as "\xNN"
// (`escapeInvalid`) or as U+FFFD.
std::string ToUtf8(std::string_view text, bool escapeInvalid = false);

// UTF-8 to code page 932. On failure returns nothing and, when `unconvertible` is given,
// stores there (as UTF-8) each character that code page 932 cannot hold.
std::optional<std::string> FromUtf8(std::string_view utf8, std::string* unconvertible = nullptr);

// UTF-16 little-endian bytes to code page 932; characters without a code page 932 form
// become "?", unpaired surrogates and a dangling odd byte too.
std::string FromUtf16Le(std::string_view bytes);

}  // namespace cp932
