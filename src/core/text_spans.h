// Parts of a UTF-8 text given by byte offsets (search hits), and the same parts counted
// as other code counts: in UTF-16 code units (Qt's strings) or in characters (scripts).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The bytes [begin, end) of a text.
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const TextSpan&) const = default;
};

std::vector<TextSpan> SpansInUtf16(std::string_view utf8, const std::vector<TextSpan>& spans);
std::vector<TextSpan> SpansInCharacters(std::string_view utf8, const std::vector<TextSpan>& spans);
