// A user who is never seen: messages vanish, questions are answered No, dialogs cancelled,
// so nothing changes unasked. For the command-line tool, the build's generators,
// benchmarks and fuzz targets; each overrides what it must say.
#pragma once

#include "core/user_interface.h"

class CSilentUserInterface : public CUserInterface {
public:
    void ShowMessage(const std::string&, MessageKind) override {}
    bool AskYesNo(const std::string&) override { return false; }
    bool EditPal(CPenPal&, PalInfoMode) override { return false; }
    bool EditMailText(std::string&, COleDateTime&) override { return false; }
    bool ChoosePal(std::string&) override { return false; }
    bool GetClipboardText(std::string&, bool&) override { return false; }
    bool OpenInShell(const std::string&) override { return false; }
    std::vector<std::string> GetSelectedAddresses() override { return {}; }
    void UpdateListView() override {}
    void UpdateMapView() override {}
    void PreloadPicture(const std::string&) override {}
};
