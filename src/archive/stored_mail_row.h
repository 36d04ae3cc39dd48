// A row of the archive's mails as the program keeps it, for the queries that read whole
// mails: columns id, pal address, direction, date, subject, body, message id and source,
// in that order from column 0.
#pragma once

#include "archive/mail_record.h"
#include "archive/sqlite_db.h"

inline StoredMail StoredMailAt(const CStatement& row) {
    StoredMail stored;
    stored.id = row.Int(0);
    MailRecord& mail = stored.mail;
    mail.pal = row.Text(1);
    mail.direction = row.Int(2) == 1 ? MailDirection::Sent : MailDirection::Received;
    mail.date = row.Text(3);
    mail.subject = row.Text(4);
    mail.body = row.Text(5);
    mail.messageId = row.Text(6);
    mail.source = row.Text(7);
    return stored;
}
