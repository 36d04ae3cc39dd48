// A mail as a test stores it into an archive.
#pragma once

#include <string>

#include "archive/mail_record.h"

inline MailRecord TestMail(const std::string& pal, MailDirection direction, const std::string& date,
                           const std::string& subject, const std::string& body) {
    MailRecord mail;
    mail.pal = pal;
    mail.direction = direction;
    mail.date = date;
    mail.subject = subject;
    mail.body = body;
    mail.source = "test";
    return mail;
}
