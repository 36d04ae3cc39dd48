// A scripted stand-in for the user: records every message and refresh, answers every
// question and dialog from queues set up by the test.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/ole_date_time.h"
#include "core/pen_pal.h"
#include "core/user_interface.h"

class FakeUserInterface : public CUserInterface {
public:
    struct Message {
        std::string text;  // UTF-8, for readable assertions
        MessageKind kind;
    };

    // What happened, in order: "message: ...", "question: ...", "edit pal", "list", "map", ...
    std::vector<std::string> events;
    std::vector<Message> messages;

    // Answers, consumed front first; an empty queue answers No / Cancel.
    std::deque<bool> yesNoAnswers;
    // Each EditPal call runs the next script on the record; its result is the dialog's.
    std::deque<std::function<bool(CPenPal&, PalInfoMode)>> palDialogs;
    std::deque<std::function<bool(std::string&, COleDateTime&)>> mailTextDialogs;
    std::deque<std::function<bool(std::string&)>> choosePalDialogs;

    bool clipboardOpens = true;
    std::string clipboardText;  // code page 932
    bool clipboardReplaced = false;
    std::vector<std::string> shellTargets;
    bool shellSucceeds = true;
    std::vector<std::string> selectedAddresses;
    std::vector<std::string> preloadedPictures;

    void ShowMessage(const std::string& text, MessageKind kind) override;
    bool AskYesNo(const std::string& text) override;
    bool EditPal(CPenPal& pal, PalInfoMode mode) override;
    bool EditMailText(std::string& text, COleDateTime& received) override;
    bool ChoosePal(std::string& address) override;
    bool GetClipboardText(std::string& text, bool& replaced) override;
    bool OpenInShell(const std::string& target) override;
    std::vector<std::string> GetSelectedAddresses() override { return selectedAddresses; }
    void UpdateListView() override { events.push_back("list"); }
    void UpdateMapView() override { events.push_back("map"); }
    void PreloadPicture(const std::string& path) override { preloadedPictures.push_back(path); }
};

// Test text in UTF-8 to the code page 932 bytes the core holds, and back.
std::string Sjis(const std::string& utf8);
std::string Utf8(const std::string& cp932);
