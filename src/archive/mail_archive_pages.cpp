// A pal's mails a page at a time, for a conversation that shows thousands without reading
// them all at once.
#include "archive/mail_archive.h"
#include "archive/sqlite_db.h"
#include "archive/stored_mail_row.h"

ArchiveResult<std::vector<StoredMail>> CMailArchive::MailPage(std::string_view pal,
                                                              const std::optional<MailKey>& olderThan, int count) {
    ArchiveResult<std::vector<StoredMail>> result;
    try {
        // The (pal, date) index holds the id too, so each page is one step down it.
        CStatement query(*m_db,
                         "SELECT m.id, p.address, m.direction, m.date, m.subject, m.body, m.message_id, m.source, "
                         "m.from_address, m.to_addresses, m.cc_addresses, m.attachments FROM mails m "
                         "JOIN pals p ON p.id = m.pal_id WHERE p.address = ?1 AND (?2 OR (m.date, m.id) < (?3, ?4)) "
                         "ORDER BY m.date DESC, m.id DESC LIMIT ?5");
        query.Bind(1, pal).Bind(2, std::int64_t{!olderThan});
        query.Bind(3, olderThan ? olderThan->date : std::string()).Bind(4, olderThan ? olderThan->id : 0);
        query.Bind(5, std::int64_t{count});
        while (query.Step()) {
            StoredMail stored = StoredMailAt(query);
            stored.mail.from = query.Text(8);
            stored.mail.to = SplitAddresses(query.Text(9));
            stored.mail.cc = SplitAddresses(query.Text(10));
            stored.mail.attachments = static_cast<int>(query.Int(11));
            result.value.push_back(std::move(stored));
        }
    } catch (const std::exception& e) {
        result.kind = ArchiveStatus::Kind::Failed;
        result.error = e.what();
    }
    return result;
}
