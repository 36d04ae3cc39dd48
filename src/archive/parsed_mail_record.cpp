#include "archive/parsed_mail_record.h"

#include "archive/archive_seed.h"

MailRecord ArchiveRecordOf(const ParsedMail& mail, const char* source) {
    if (mail.fromAddress.empty()) {
        // A Japanese mail text: its sender and its text are all it has.
        MailRecord record = LastMailOf(mail.pal, source);
        record.from = std::move(record.pal);
        record.pal.clear();
        return record;
    }
    MailRecord record;
    record.date = ArchiveDateOf(mail.pal.m_dtLastMail);
    record.subject = mail.subject;
    record.body = mail.body;
    record.messageId = mail.messageId;
    record.source = source;
    record.from = mail.fromAddress;
    record.to = mail.toAddresses;
    record.cc = mail.ccAddresses;
    record.attachments = mail.attachments;
    return record;
}
