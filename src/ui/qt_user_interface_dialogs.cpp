// The dialogs the core asks for. Until they exist, each is cancelled at once.
#include "ui/qt_user_interface.h"

bool CQtUserInterface::EditPal(CPenPal&, PalInfoMode) { return false; }

bool CQtUserInterface::EditMailText(std::string&, COleDateTime&) { return false; }

bool CQtUserInterface::ChoosePal(std::string&) { return false; }
