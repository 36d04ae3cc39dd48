#include "core/text_spans.h"

#include <algorithm>

namespace {

// The spans with each byte offset replaced by the units of the characters before it; a
// character is counted at its first byte.
template <class Units>
std::vector<TextSpan> Recounted(std::string_view utf8, const std::vector<TextSpan>& spans, Units unitsOf) {
    std::vector<std::size_t> before(utf8.size() + 1, 0);
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        if ((byte & 0xC0) != 0x80) units += unitsOf(byte);
        before[at + 1] = units;
    }
    // An offset inside a character counts that character.
    auto at = [&](std::size_t offset) { return before[std::min(offset, utf8.size())]; };
    std::vector<TextSpan> recounted;
    recounted.reserve(spans.size());
    for (const TextSpan& span : spans) recounted.push_back({at(span.begin), at(span.end)});
    return recounted;
}

}  // namespace

std::vector<TextSpan> SpansInUtf16(std::string_view utf8, const std::vector<TextSpan>& spans) {
    // A four-byte character lies beyond the 16-bit plane: a surrogate pair.
    return Recounted(utf8, spans, [](unsigned char lead) -> std::size_t { return lead >= 0xF0 ? 2 : 1; });
}

std::vector<TextSpan> SpansInCharacters(std::string_view utf8, const std::vector<TextSpan>& spans) {
    return Recounted(utf8, spans, [](unsigned char) -> std::size_t { return 1; });
}
