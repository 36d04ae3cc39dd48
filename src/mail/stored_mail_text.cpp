#include "mail/stored_mail_text.h"

#include <algorithm>

std::string ToStoredMailText(std::string_view text) {
    std::string stored(text);
    std::replace(stored.begin(), stored.end(), '\n', kStoredLineBreak);
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
