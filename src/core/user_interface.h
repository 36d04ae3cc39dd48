// The port through which the core shows messages, asks questions and opens the dialogs
// it needs. The desktop program implements it with Qt; tests with a scripted fake; the
// command-line tool with its console.
#pragma once

#include <string>
#include <vector>

class COleDateTime;
class CPenPal;

enum class MessageKind { Warning, Information };

// How the pal information dialog is used.
enum class PalInfoMode { EditOne = 0, EditSeveral = 1, AddNew = 2 };

class CUserInterface {
public:
    virtual ~CUserInterface() = default;

    // A message box with an OK button; `text` is code page 932, "\r\n" breaks lines.
    virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;

    // The pal information dialog on `pal`; true when the user confirmed it (then `pal`
    // holds the input; otherwise it holds whatever the dialog left in it).
    virtual bool EditPal(CPenPal& pal, PalInfoMode mode) = 0;
    // The mail text dialog: the user corrects the text and sets the received date.
    virtual bool EditMailText(std::string& text, COleDateTime& received) = 0;
    // The choose-pal dialog; true with the chosen pal's address.
    virtual bool ChoosePal(std::string& address) = 0;

    // The clipboard's text, code page 932 (empty when it holds none), and whether some of
    // its characters, which code page 932 lacks, became "?"; false when the clipboard
    // cannot be opened.
    virtual bool GetClipboardText(std::string& text, bool& replaced) = 0;
    // Hands a link (mailto:, http:, a file) to the desktop; false when that failed at once.
    // An opener that fails later (no browser behind it) is told to the user when it ends.
    virtual bool OpenInShell(const std::string& target) = 0;

    // Addresses of the rows selected in the pal list, in row order.
    virtual std::vector<std::string> GetSelectedAddresses() = 0;

    // Refills the pal list from the table.
    virtual void UpdateListView() = 0;
    // Redraws the map.
    virtual void UpdateMapView() = 0;
    // Loading a pal data file asks for each pal's picture ahead of its first drawing.
    virtual void PreloadPicture(const std::string& path) = 0;
};
