#include "mail/mail_intake.h"

#include "core/table_steps.h"
#include "core/pal_placement.h"
#include "core/texts.h"
#include "mail/mail_text_parser.h"
#include "mail/stored_mail_text.h"

namespace {

// The archive keeps every mail the table's last mail replaces.
// A null `source`: the caller keeps the mail itself.
void KeepInHistory(CYubinoApp& app, const CPenPal* before, const CPenPal& pal, const char* source) {
    if (CPalHistory* history = app.History(); history && source) history->MailTakenIn(before, pal, source);
}

void Refresh(CYubinoApp& app) {
    app.UpdateListView();
    app.UpdateMapView();
}

void ReportUpdated(CYubinoApp& app, const CPenPal& pal) {
    app.UI().ShowMessage(FormatText(texts::kPalUpdated, pal.m_strHandleName), MessageKind::Information);
    Refresh(app);
}

// A new sender: the pal dialog opens prefilled from the mail until the user confirms it
// or agrees not to add the pal.
bool AddNewSender(CYubinoApp& app, const CPenPal& mail, const char* source) {
    CUserInterface& ui = app.UI();
    if (app.GetPalCount() >= kMaxPals) {
        ui.ShowMessage(Cp932Text(texts::kMailTableFull), MessageKind::Warning);
        return false;
    }
    ui.ShowMessage(Cp932Text(texts::kNewPalCongratulation), MessageKind::Information);
    CPenPal pal = mail;
    pal.m_dtFirstMail = mail.m_dtLastMail;
    // The same working record goes back into the dialog: it keeps what the user typed.
    while (!ui.EditPal(pal, PalInfoMode::EditOne)) {
        if (ui.AskYesNo(Cp932Text(texts::kConfirmNotAdding))) return false;
    }
    PlaceNewPal(app, pal);
    const bool added = app.AddPal(pal);  // AddPal tells why it refuses
    if (added) KeepInHistory(app, nullptr, pal, source);
    Refresh(app);
    return added;
}

bool IsSameLastMail(const CPenPal& pal, const CPenPal& mail) {
    // Dates compare by value and validity.
    return pal.m_strLastMailText == mail.m_strLastMailText && pal.m_dtLastMail == mail.m_dtLastMail;
}

// A known sender: only the last mail's text and date change.
bool UpdateKnownSender(CYubinoApp& app, CPenPal pal, const CPenPal& mail, const char* source) {
    if (IsSameLastMail(pal, mail) && !app.UI().AskYesNo(Cp932Text(texts::kSameMailAgain))) return false;
    const CPenPal before = pal;
    pal.m_strLastMailText = mail.m_strLastMailText;
    pal.m_dtLastMail = mail.m_dtLastMail;
    app.ReplacePal(pal);
    KeepInHistory(app, &before, pal, source);
    ReportUpdated(app, pal);
    return true;
}

}  // namespace

void AddMailText(CYubinoApp& app, const std::string& text) {
    const MailParseResult parsed = ParseMailText(text);
    if (!parsed.Ok()) {
        app.UI().ShowMessage(Cp932Text(MailParseFailureMessage(parsed.failure)), MessageKind::Warning);
        return;
    }
    TakeInReceivedMail(app, parsed.mail);
}

void TakeInReceivedMail(CYubinoApp& app, const CPenPal& mail) { TakeInReceivedMail(app, mail, "drop"); }

bool TakeInReceivedMail(CYubinoApp& app, const CPenPal& mail, const char* historySource) {
    CTableChange change(app, StepKind::TakeInMail);
    CPenPal pal;
    if (app.FindPalByAddress(mail.m_strMailAddress, pal)) return UpdateKnownSender(app, pal, mail, historySource);
    return AddNewSender(app, mail, historySource);
}

void TellReplacedCharacters(CYubinoApp& app) {
    app.UI().ShowMessage(Cp932Text(texts::kMailCharactersReplaced), MessageKind::Information);
}

void AddMailTextFromClipboard(CYubinoApp& app) {
    CUserInterface& ui = app.UI();
    std::string text;
    bool replaced = false;
    if (!ui.GetClipboardText(text, replaced)) {
        ui.ShowMessage(Cp932Text(texts::kClipboardUnavailable), MessageKind::Warning);
        return;
    }
    if (replaced) TellReplacedCharacters(app);
    CTableChange change(app, StepKind::TakeInMail);
    COleDateTime received = COleDateTime::GetCurrentTime();
    if (!ui.EditMailText(text, received)) return;
    const std::string stored = ToStoredMailText(text);

    std::string address;
    if (!ui.ChoosePal(address)) return;
    CPenPal pal;
    // A chosen address the table no longer holds changes nothing: replacing with a
    // blank record would overwrite a pal that happens to have an empty address.
    if (!app.FindPalByAddress(address, pal)) return;
    const CPenPal before = pal;
    pal.m_dtLastMail = received;
    pal.m_strLastMailText = stored;
    app.ReplacePal(pal);
    KeepInHistory(app, &before, pal, "clipboard");
    ReportUpdated(app, pal);
}
