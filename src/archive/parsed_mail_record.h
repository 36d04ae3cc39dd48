// An Internet mail as the archive keeps it.
#pragma once

#include "archive/mail_record.h"
#include "mail/internet_mail.h"

// The record of a parsed mail, to be filed by its header addresses; `source` names the
// road it came by ("mail-file", "imap").
MailRecord ArchiveRecordOf(const ParsedMail& mail, const char* source);
