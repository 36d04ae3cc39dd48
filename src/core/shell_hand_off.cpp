#include "core/shell_hand_off.h"

#include "core/texts.h"
#include "core/user_interface.h"

bool HandOffToDesktop(CUserInterface& ui, const std::string& target) {
    if (ui.OpenInShell(target)) return true;
    ui.ShowMessage(FormatText(texts::kHandOffFailed, target), MessageKind::Warning);
    return false;
}
