// The archive's records of what a pal's data file entry cannot hold.
#include <string>

#include "archive/mail_archive.h"
#include "archive/sqlite_db.h"

namespace {

enum ValueKind { kOriginal = 0, kExtraAddress = 1, kExtraPhone = 2 };

std::optional<PalCard> ReadCardOf(CSqliteDb& db, std::string_view pal) {
    CStatement find(db,
                    "SELECT c.pal_id, uid, revision, reading_family, reading_given, birthday_no_year, postal_code, "
                    "carddav_href, carddav_etag FROM pal_cards c JOIN pals p ON p.id = c.pal_id WHERE p.address = ?");
    find.Bind(1, pal);
    if (!find.Step()) return std::nullopt;
    PalCard card{find.Text(1), find.Text(2), find.Text(3), find.Text(4), {},          find.Text(5),
                 find.Text(6), {},           {},           find.Text(7), find.Text(8)};
    CStatement values(db, "SELECT kind, position, value FROM pal_card_values WHERE pal_id = ? ORDER BY kind, position");
    values.Bind(1, find.Int(0));
    while (values.Step()) {
        const std::string value = values.Text(2);
        switch (values.Int(0)) {
            case kOriginal:
                card.originals[static_cast<int>(values.Int(1))] = value;
                break;
            case kExtraAddress:
                card.extraAddresses.push_back(value);
                break;
            case kExtraPhone:
                card.extraPhones.push_back(value);
                break;
        }
    }
    return card;
}

}  // namespace

ArchiveResult<std::optional<PalCard>> CMailArchive::ReadPalCard(std::string_view pal) {
    ArchiveResult<std::optional<PalCard>> result;
    try {
        result.value = ReadCardOf(*m_db, pal);
    } catch (const std::exception& e) {
        result.kind = ArchiveStatus::Kind::Failed;
        result.error = e.what();
    }
    return result;
}

ArchiveStatus CMailArchive::WritePalCard(std::string_view pal, const PalCard& card) {
    try {
        WriteCard(pal, card);
    } catch (const std::exception& e) {
        return {ArchiveStatus::Kind::Failed, e.what()};
    }
    return {};
}

void CMailArchive::WriteCard(std::string_view pal, const PalCard& card) {
    CTransaction transaction(*m_db);
    const std::int64_t id = PalId(pal, true);
    CStatement put(*m_db,
                   "INSERT OR REPLACE INTO pal_cards(pal_id, uid, revision, reading_family, reading_given, "
                   "birthday_no_year, postal_code, carddav_href, carddav_etag) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    put.Bind(1, id).Bind(2, card.uid).Bind(3, card.revision).Bind(4, card.readingFamily).Bind(5, card.readingGiven);
    put.Bind(6, card.birthdayNoYear).Bind(7, card.postalCode).Bind(8, card.carddavHref).Bind(9, card.carddavEtag).Run();
    CStatement clear(*m_db, "DELETE FROM pal_card_values WHERE pal_id = ?");
    clear.Bind(1, id).Run();
    CStatement value(*m_db, "INSERT INTO pal_card_values(pal_id, kind, position, value) VALUES (?, ?, ?, ?)");
    const auto add = [&](int kind, std::int64_t position, const std::string& text) {
        value.Bind(1, id).Bind(2, std::int64_t{kind}).Bind(3, position).Bind(4, text).Run();
    };
    for (const auto& [field, text] : card.originals) add(kOriginal, field, text);
    for (std::size_t i = 0; i < card.extraAddresses.size(); ++i)
        add(kExtraAddress, std::int64_t(i), card.extraAddresses[i]);
    for (std::size_t i = 0; i < card.extraPhones.size(); ++i) add(kExtraPhone, std::int64_t(i), card.extraPhones[i]);
    transaction.Commit();
}
