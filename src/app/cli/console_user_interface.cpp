#include "app/cli/console_user_interface.h"

#include <cstdio>

#include "core/cp932.h"

void PrintMessageLine(const std::string& cp932) {
    std::string line;
    for (char c : cp932::ToUtf8(cp932)) {
        if (c != '\n') line += c;
        else if (!line.empty() && line.back() == '\r') line.back() = ' ';
        else line += ' ';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

void CConsoleUserInterface::ShowMessage(const std::string& text, MessageKind) { PrintMessageLine(text); }

bool CConsoleUserInterface::AskYesNo(const std::string& text) {
    PrintMessageLine(text);
    return false;
}
