// Handing a link or a file to the desktop's opener (a browser, the mail program).
#pragma once

#include <string>

class CUserInterface;

// Opens `target` (code page 932) through the port. A hand-off that fails, as when no
// opener is installed, is told to the user; nothing else changes.
bool HandOffToDesktop(CUserInterface& ui, const std::string& target);
// What the user is told when the opener could not open `target` (code page 932).
std::string HandOffFailedText(const std::string& target);
