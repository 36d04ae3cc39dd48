// Draws a conversation's mails into a text document: each mail a box with its header block
// (labels and values) over its text, sent mails tinted, so that the reader can select and
// copy across them.
#pragma once

#include "archive/conversation.h"

class QPalette;
class QTextDocument;

// Puts the page's mails above or below (as the page says) what `document` holds.
void InsertConversationPage(QTextDocument& document, const ConversationPage& page, const QPalette& palette);
