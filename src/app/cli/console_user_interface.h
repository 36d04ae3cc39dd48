// The command-line tool's side of the port: messages go to standard error in UTF-8, one
// per line; questions are answered No and dialogs cancelled, so nothing changes unasked.
#pragma once

#include "core/user_interface.h"

class CConsoleUserInterface : public CUserInterface {
public:
    void ShowMessage(const std::string& text, MessageKind kind) override;
    bool AskYesNo(const std::string& text) override;
    bool EditPal(CPenPal&, PalInfoMode) override { return false; }
    bool EditMailText(std::string&, COleDateTime&) override { return false; }
    bool ChoosePal(std::string&) override { return false; }
    bool GetClipboardText(std::string&) override { return false; }
    bool OpenInShell(const std::string&) override { return false; }
    std::vector<std::string> GetSelectedAddresses() override { return {}; }
    void UpdateListView() override {}
    void UpdateMapView() override {}
    void PreloadPicture(const std::string&) override {}
};

// A code page 932 message as one line of UTF-8 on standard error ("\r\n" becomes a blank).
void PrintMessageLine(const std::string& cp932);
