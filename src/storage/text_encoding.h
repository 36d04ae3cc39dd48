// Text encodings of files that other programs write: byte-order marks, UTF-16, UTF-8
// told from code page 932, and named character sets.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 sequence at text[pos], or 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t pos);

bool IsValidUtf8(std::string_view bytes);

// Whether the bytes are UTF-8 that code page 932 would not read the same: well formed
// and not plain ASCII.
bool LooksLikeUtf8(std::string_view bytes);

// UTF-8 to code page 932, each character it lacks (or each stray byte) becoming "?".
std::string Utf8ToCp932Lossy(std::string_view utf8);

// A whole text file as UTF-8: a byte-order mark of UTF-8 or UTF-16 (either order) decides;
// without one, well-formed UTF-8 stays as it is and anything else is read as code page
// 932. Bytes that do not decode become U+FFFD.
std::string DecodeTextFile(std::string_view bytes);

// Bytes in the named character set (as vCard's CHARSET names it) to UTF-8; nothing when
// the set is unknown. Bytes that do not decode become U+FFFD.
std::optional<std::string> CharsetToUtf8(std::string_view bytes, const std::string& charset);
