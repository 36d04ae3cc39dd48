#include "support/fake_user_interface.h"

#include <gtest/gtest.h>

#include "core/cp932.h"

namespace {

template <typename Queue, typename... Args>
bool RunNext(Queue& queue, Args&... args) {
    if (queue.empty()) return false;
    auto script = std::move(queue.front());
    queue.pop_front();
    return script(args...);
}

}  // namespace

std::string Sjis(const std::string& utf8) {
    auto converted = cp932::FromUtf8(utf8);
    EXPECT_TRUE(converted.has_value()) << "not code page 932: " << utf8;
    return converted.value_or("");
}

std::string Utf8(const std::string& cp932) { return cp932::ToUtf8(cp932, true); }

void FakeUserInterface::ShowMessage(const std::string& text, MessageKind kind) {
    messages.push_back({Utf8(text), kind});
    events.push_back("message: " + Utf8(text));
}

bool FakeUserInterface::AskYesNo(const std::string& text) {
    events.push_back("question: " + Utf8(text));
    if (yesNoAnswers.empty()) return false;
    bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

bool FakeUserInterface::EditPal(CPenPal& pal, PalInfoMode mode) {
    events.push_back("edit pal");
    return RunNext(palDialogs, pal, mode);
}

bool FakeUserInterface::EditMailText(std::string& text, COleDateTime& received) {
    events.push_back("mail text dialog");
    return RunNext(mailTextDialogs, text, received);
}

bool FakeUserInterface::ChoosePal(std::string& address) {
    events.push_back("choose pal dialog");
    return RunNext(choosePalDialogs, address);
}

bool FakeUserInterface::GetClipboardText(std::string& text, bool& replaced) {
    text = clipboardText;
    replaced = clipboardReplaced;
    return clipboardOpens;
}

bool FakeUserInterface::OpenInShell(const std::string& target) {
    shellTargets.push_back(target);
    return shellSucceeds;
}
