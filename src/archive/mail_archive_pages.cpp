// A pal's mails a page at a time, for a conversation that shows thousands without reading
// them all at once.
#include "archive/mail_archive.h"
#include "archive/sqlite_db.h"

ArchiveResult<std::vector<StoredMail>> CMailArchive::MailPage(std::string_view pal,
                                                              const std::optional<MailKey>& olderThan, int count) {
    ArchiveResult<std::vector<StoredMail>> result;
    try {
        // The (pal, date) index holds the id too, so each page is one step down it.
        CStatement query(
            *m_db,
            "SELECT m.id, m.direction, m.date, m.subject, m.body, m.message_id, m.source, "
            "m.from_address, m.to_addresses, m.cc_addresses, m.attachments FROM mails m "
            "WHERE m.pal_id = (SELECT id FROM pals WHERE address = ?1) AND (?2 OR (m.date, m.id) < (?3, ?4)) "
            "ORDER BY m.date DESC, m.id DESC LIMIT ?5");
        query.Bind(1, pal).Bind(2, std::int64_t{!olderThan});
        query.Bind(3, olderThan ? olderThan->date : std::string()).Bind(4, olderThan ? olderThan->id : 0);
        query.Bind(5, std::int64_t{count});
        while (query.Step()) {
            StoredMail stored;
            stored.id = query.Int(0);
            MailRecord& mail = stored.mail;
            mail.pal = std::string(pal);
            mail.direction = query.Int(1) == 1 ? MailDirection::Sent : MailDirection::Received;
            mail.date = query.Text(2);
            mail.subject = query.Text(3);
            mail.body = query.Text(4);
            mail.messageId = query.Text(5);
            mail.source = query.Text(6);
            mail.from = query.Text(7);
            mail.to = SplitAddresses(query.Text(8));
            mail.cc = SplitAddresses(query.Text(9));
            mail.attachments = static_cast<int>(query.Int(10));
            result.value.push_back(std::move(stored));
        }
    } catch (const std::exception& e) {
        result.kind = ArchiveStatus::Kind::Failed;
        result.error = e.what();
    }
    return result;
}
