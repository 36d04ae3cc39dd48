#include "storage/vcard_text.h"

#include "core/cp932.h"

namespace {

constexpr char kStoredLineBreak = '\x08';

}  // namespace

std::string EscapeVCardText(std::string_view cp932Text) {
    std::string text = cp932::ToUtf8(cp932Text), out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            if (c == '\\' || c == ',' || c == ';') out += '\\';
            out += c;
        }
    }
    return out;
}

std::string EscapeStoredMailText(std::string_view cp932Text) {
    std::string out;
    for (char c : cp932::ToUtf8(cp932Text)) {
        if (c == kStoredLineBreak || c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else {
            if (c == '\\' || c == ',' || c == ';') out += '\\';
            out += c;
        }
    }
    return out;
}

std::string UnescapeStoredMailText(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'n' || next == 'N' ? kStoredLineBreak : next == 'r' ? '\r' : next;
    }
    return out;
}
