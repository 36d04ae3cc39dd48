// The command-line tool's side of the port: messages go to standard error in UTF-8, one
// per line; questions are answered No and dialogs cancelled, so nothing changes unasked.
#pragma once

#include <string>
#include <string_view>

#include "core/silent_user_interface.h"

class CConsoleUserInterface : public CSilentUserInterface {
public:
    void ShowMessage(const std::string& text, MessageKind kind) override;
    bool AskYesNo(const std::string& text) override;
};

// A code page 932 message as one line of UTF-8 on standard error ("\r\n" becomes a blank).
void PrintMessageLine(const std::string& cp932);
// A UTF-8 message as one line: each line break ("\r\n", "\n" or "\r") becomes a blank.
std::string OneLine(std::string_view utf8);
