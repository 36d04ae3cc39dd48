// The dialogs the core asks for.
#include "ui/dialogs/choose_pal_dlg.h"
#include "ui/dialogs/mail_text_dlg.h"
#include "ui/dialogs/pal_info_dlg.h"
#include "ui/qt_user_interface.h"

bool CQtUserInterface::EditPal(CPenPal& pal, PalInfoMode mode) {
    if (!m_app) return false;
    CPalInfoDlg dialog(*m_app, pal, mode, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

bool CQtUserInterface::EditMailText(std::string& text, COleDateTime& received) {
    CMailTextDlg dialog(text, received, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

bool CQtUserInterface::ChoosePal(std::string& address) {
    if (!m_app) return false;
    CChoosePalDlg dialog(*m_app, m_parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    address = dialog.ChosenAddress();
    return true;
}
