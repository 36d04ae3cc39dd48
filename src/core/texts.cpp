#include "core/texts.h"

#include "core/cp932.h"

namespace {

std::string Replace(std::string_view utf8Template, std::string_view placeholder, std::string_view value) {
    std::string text = Cp932Text(utf8Template);
    // The placeholders are ASCII, and the templates' double-byte characters never hold
    // '%' as a trail byte, so a character-aware search finds the real one.
    std::size_t pos = cp932::Find(text, placeholder);
    if (pos != std::string::npos) text.replace(pos, placeholder.size(), value);
    return text;
}

}  // namespace

std::string Cp932Text(std::string_view utf8) { return cp932::FromUtf8(utf8).value_or(std::string(utf8)); }

std::string FormatText(std::string_view utf8Template, std::string_view arg) { return Replace(utf8Template, "%s", arg); }

std::string FormatText(std::string_view utf8Template, int number) {
    return Replace(utf8Template, "%d", std::to_string(number));
}
