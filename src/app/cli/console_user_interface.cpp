#include "app/cli/console_user_interface.h"

#include <cstdio>

#include "core/cp932.h"

std::string OneLine(std::string_view utf8) {
    std::string line;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool crlf = utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n';
        if (crlf) continue;
        line += utf8[i] == '\r' || utf8[i] == '\n' ? ' ' : utf8[i];
    }
    return line;
}

void PrintMessageLine(const std::string& cp932) { std::fprintf(stderr, "%s\n", OneLine(cp932::ToUtf8(cp932)).c_str()); }

void CConsoleUserInterface::ShowMessage(const std::string& text, MessageKind) { PrintMessageLine(text); }

bool CConsoleUserInterface::AskYesNo(const std::string& text) {
    PrintMessageLine(text);
    return false;
}
