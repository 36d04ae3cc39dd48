#include "core/shell_hand_off.h"

#include "core/texts.h"
#include "core/user_interface.h"

bool HandOffToDesktop(CUserInterface& ui, const std::string& target) {
    if (ui.OpenInShell(target)) return true;
    ui.ShowMessage(HandOffFailedText(target), MessageKind::Warning);
    return false;
}

std::string HandOffFailedText(const std::string& target) { return FormatText(texts::kHandOffFailed, target); }
