// The archive's side of the pal table's mail history: the data file's last mails stored
// without twins, and each pal's received mails summed up for the table to follow.
#include "archive/archive_twins.h"
#include "archive/mail_archive.h"
#include "archive/sqlite_db.h"

namespace {

std::vector<CMailArchive::ReceivedSpan> ReadReceivedSpans(CSqliteDb& db) {
    // Each pal's newest and oldest received mail are one step down the (pal, direction,
    // date) index; of mails with the same date the one stored first counts.
    CStatement query(db,
                     "SELECT p.address, m.date, m.body, (SELECT min(date) FROM mails WHERE pal_id = p.id AND "
                     "direction = 0) FROM pals p JOIN mails m ON m.id = (SELECT id FROM mails WHERE pal_id = p.id "
                     "AND direction = 0 ORDER BY date DESC, id ASC LIMIT 1)");
    std::vector<CMailArchive::ReceivedSpan> spans;
    while (query.Step()) spans.push_back({query.Text(0), query.Text(1), query.Text(2), query.Text(3)});
    return spans;
}

template <class T>
void Fail(ArchiveResult<T>& result, const std::exception& e) {
    result.kind = ArchiveStatus::Kind::Failed;
    result.error = e.what();
}

}  // namespace

CMailArchive::StoreResult CMailArchive::StoreSeeds(const std::vector<MailRecord>& seeds) {
    std::vector<MailRecord> missing;
    StoreResult result;
    try {
        for (const MailRecord& seed : seeds) {
            const std::int64_t pal = PalId(seed.pal, false);
            if (pal != 0 && HasMailLike(*m_db, pal, seed.date, seed.body))
                ++result.duplicate;
            else
                missing.push_back(seed);
        }
    } catch (const std::exception& e) {
        result.error = e.what();
        return result;
    }
    StoreResult stored = Store(missing);
    stored.duplicate += result.duplicate;
    return stored;
}

ArchiveResult<int> CMailArchive::RemoveSeedTwins() {
    ArchiveResult<int> result;
    try {
        CTransaction transaction(*m_db);
        result.value = ::RemoveSeedTwins(*m_db);
        transaction.Commit();
    } catch (const std::exception& e) {
        Fail(result, e);
    }
    return result;
}

ArchiveResult<std::vector<CMailArchive::ReceivedSpan>> CMailArchive::ReceivedSpans() {
    ArchiveResult<std::vector<ReceivedSpan>> result;
    try {
        result.value = ReadReceivedSpans(*m_db);
    } catch (const std::exception& e) {
        Fail(result, e);
    }
    return result;
}
