#include "storage/vcard_text.h"

#include "core/cp932.h"

namespace {

constexpr char kStoredLineBreak = '\x08';

}  // namespace

std::string EscapeVCardUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || c == kStoredLineBreak) {
            if (c == '\r' && i + 1 < text.size() && (text[i + 1] == '\n' || text[i + 1] == kStoredLineBreak)) ++i;
            out += "\\n";
        } else {
            if (c == '\\' || c == ',' || c == ';') out += '\\';
            out += c;
        }
    }
    return out;
}

std::string EscapeVCardText(std::string_view cp932Text) { return EscapeVCardUtf8(cp932::ToUtf8(cp932Text)); }

std::string EscapeStoredMailText(std::string_view cp932Text) { return EscapeVCardText(cp932Text); }

std::string UnescapeStoredMailText(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        if (next == 'n' || next == 'N') {
            // A mail's line ends CR LF, kept as CR BS; older files wrote the CR as "\r".
            if (out.empty() || out.back() != '\r') out += '\r';
            out += kStoredLineBreak;
        } else {
            out += next == 'r' ? '\r' : next;
        }
    }
    return out;
}

namespace {

// The line break at `i`, if any: its length and its form (C: a carriage return and a line
// break, L: a line break alone, R: a carriage return alone).
std::size_t BreakAt(std::string_view text, std::size_t i, char& form) {
    const auto isBreak = [](char c) { return c == '\n' || c == kStoredLineBreak; };
    if (text[i] == '\r') {
        const bool pair = i + 1 < text.size() && isBreak(text[i + 1]);
        form = pair ? 'C' : 'R';
        return pair ? 2 : 1;
    }
    form = 'L';
    return isBreak(text[i]) ? 1 : 0;
}

}  // namespace

std::string LineBreakForms(std::string_view text) {
    std::string forms;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char form = 0;
        if (const std::size_t length = BreakAt(text, i, form)) {
            forms += form;
            i += length - 1;
        }
    }
    return forms.find_first_not_of('C') == std::string::npos ? std::string() : forms;
}

std::string RestoreLineBreaks(std::string_view text, std::string_view forms, char lineBreak) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char form = 0;
        const std::size_t length = BreakAt(text, i, form);
        if (length == 0) {
            out += text[i];
            continue;
        }
        i += length - 1;
        const char wanted = next < forms.size() ? forms[next] : 'C';
        ++next;
        if (wanted != 'L') out += '\r';
        if (wanted != 'R') out += lineBreak;
    }
    return out;
}
