// What the pal information dialog decides, apart from drawing: the entries of its lists,
// its title, the checks at "保存して閉じる", and how a multiple edit reaches each pal.
// Texts are code page 932.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/pen_pal.h"
#include "core/user_interface.h"

class CYubinoApp;

// The fixed lists of the combo boxes, in the order they are shown.
std::vector<std::string> SexChoices();
std::vector<std::string> AgeChoices();  // "？", then full-width １ to １１９
std::vector<std::string> JobChoices();
std::vector<std::string> BloodTypeChoices();
std::vector<std::string> MapChoices();

// The first entry that begins with `stored` (whole characters), or -1. An empty text
// selects nothing, so that a record without a value keeps it without one.
int FindEntryByPrefix(const std::vector<std::string>& entries, const std::string& stored);

// The window title for the handle name being typed.
std::string PalInfoTitle(PalInfoMode mode, const std::string& handleName);

// Which control a refused OK puts the focus on.
enum class PalInfoField { None, HandleName, MailAddress };

struct PalInfoProblem {
    PalInfoField field = PalInfoField::None;
    std::string message;  // empty when the input is accepted
    explicit operator bool() const { return field != PalInfoField::None; }
};

// The checks at OK. `entered` holds what the controls show, `originalAddress` the address
// the record had when the dialog opened. Besides the empty handle name and address, an
// address that another stored pal already has is refused while editing one pal or adding
// one: the replace or add that follows would otherwise overwrite that pal or fail.
PalInfoProblem CheckPalInfo(const CPenPal& entered, const std::string& originalAddress, PalInfoMode mode,
                            const CYubinoApp& app);

// What "GO" hands to the desktop for the typed home page: a web address as typed, or a
// text without a scheme ("www.example.co.jp") as "http://" and the text. Nothing for any
// other scheme or a text that cannot be a host name, so that a stored text can never
// start a program or open a file.
std::optional<std::string> HomePageLink(const std::string& text);

// A date picked in a date-only control: the picked day with the time of day the stored
// date had (a mail received at 21:30 keeps its 21:30).
COleDateTime WithPickedDay(const COleDateTime& stored, int year, int month, int day);

// The multiple edit: what the dialog's record (opened in EditSeveral mode) changes in one
// of the selected pals. Empty texts, "？", the default date and icon -1 mean "leave as is".
void ApplyMultipleEdit(const CPenPal& dialogRecord, CPenPal& pal);
