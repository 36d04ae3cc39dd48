// Taking in a received mail: by a dropped mail text, which is parsed, or by the
// clipboard's text, which the user attaches to a pal. Both end with the pal table
// changed, the pal named in a message, and the list and the map refreshed.
#pragma once

#include <string>

#include "core/pen_pal.h"
#include "core/yubino_app.h"

// The drop road: parses `text` (code page 932) and takes the mail in; a text that is no
// mail is refused with the parser's message.
void AddMailText(CYubinoApp& app, const std::string& text);

// The road after parsing, for any parser: `mail` carries the sender's handle name and
// address, the received date, the body in stored form and the home page. A known sender's
// last mail is updated; a new sender becomes a pal once the user completes the pal dialog.
void TakeInReceivedMail(CYubinoApp& app, const CPenPal& mail);
// The same; true when the mail was taken in (a pal added or updated). The mail is kept in
// the table's history under `historySource`, or, when that is null, by the caller.
bool TakeInReceivedMail(CYubinoApp& app, const CPenPal& mail, const char* historySource);

// Both roads tell, before anything else, that characters code page 932 lacks became "?".
void TellReplacedCharacters(CYubinoApp& app);

// The clipboard road: the user corrects the clipboard's text, sets the received date and
// chooses the pal whose last mail it becomes. Nothing is parsed.
void AddMailTextFromClipboard(CYubinoApp& app);
