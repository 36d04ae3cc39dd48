// The desktop side of the port: message boxes, questions, the program's dialogs, the
// clipboard and the hand-off to the desktop. What concerns the panes is forwarded to
// the main window through CViewHost.
#pragma once

#include <QWidget>
#include <QPointer>

#include "core/user_interface.h"

class CYubinoApp;

// Implemented by the main window.
class CViewHost {
public:
    virtual ~CViewHost() = default;
    virtual void UpdateListView() = 0;
    virtual void UpdateMapView() = 0;
    virtual std::vector<std::string> GetSelectedAddresses() = 0;
    virtual void PreloadPicture(const std::string& path) = 0;
};

class CQtUserInterface : public CUserInterface {
public:
    CQtUserInterface() = default;

    // The application whose table the dialogs read (the choose-pal dialog lists the pals
    // and can add one), and the window that dialogs and message boxes belong to.
    void SetApp(CYubinoApp* app) { m_app = app; }
    void SetParentWidget(QWidget* parent) { m_parent = parent; }
    void SetViewHost(CViewHost* host) { m_host = host; }
    QWidget* ParentWidget() const { return m_parent; }
    // Where nobody can click (a screenshot taken without a user): every message and
    // question goes to standard error, and each question is answered No.
    void SetUnattended(bool unattended) { m_unattended = unattended; }
    bool MessageShown() const { return m_messageShown; }

    void ShowMessage(const std::string& text, MessageKind kind) override;
    bool AskYesNo(const std::string& text) override;
    bool EditPal(CPenPal& pal, PalInfoMode mode) override;
    bool EditMailText(std::string& text, COleDateTime& received) override;
    bool ChoosePal(std::string& address) override;
    bool GetClipboardText(std::string& text, bool& replaced) override;
    bool OpenInShell(const std::string& target) override;
    std::vector<std::string> GetSelectedAddresses() override;
    void UpdateListView() override;
    void UpdateMapView() override;
    void PreloadPicture(const std::string& path) override;

private:
    CYubinoApp* m_app = nullptr;
    QPointer<QWidget> m_parent;
    CViewHost* m_host = nullptr;
    bool m_unattended = false;
    bool m_messageShown = false;
};

// Message box texts use "\r\n" for line breaks; Qt wants "\n".
QString MessageBoxText(const std::string& cp932);
