#include "archive/archive_twins.h"

#include <vector>

#include "archive/sqlite_db.h"
#include "mail/mail_charsets.h"

std::string TwinBodyKey(std::string_view utf8Body) {
    std::string lines;
    lines.reserve(utf8Body.size());
    for (std::size_t i = 0; i < utf8Body.size(); ++i) {
        if (utf8Body[i] == '\r' && i + 1 < utf8Body.size() && utf8Body[i + 1] == '\n') continue;
        lines += utf8Body[i];
    }
    std::string key;
    Utf8ToCp932Replacing(lines, key);
    return key;
}

bool HasMailLike(CSqliteDb& db, std::int64_t palId, std::string_view date, std::string_view utf8Body,
                 std::int64_t exceptId) {
    CStatement same(db, "SELECT body FROM mails WHERE pal_id = ? AND date = ? AND id <> ?");
    same.Bind(1, palId).Bind(2, date).Bind(3, exceptId);
    const std::string key = TwinBodyKey(utf8Body);
    while (same.Step())
        if (TwinBodyKey(same.Text(0)) == key) return true;
    return false;
}

namespace {

struct SeedRow {
    std::int64_t id;
    std::int64_t palId;
    std::string date;
    std::string body;
};

}  // namespace

int RemoveSeedTwins(CSqliteDb& db, const TwinProgressFn& progress) {
    // Only seeds that share pal and date with another row can be twins; the (pal, date)
    // index finds them without reading the other mails.
    std::vector<SeedRow> candidates;
    {
        CStatement seeds(db,
                         "SELECT s.id, s.pal_id, s.date, s.body FROM mails s WHERE s.source = 'seed' AND EXISTS "
                         "(SELECT 1 FROM mails o WHERE o.pal_id = s.pal_id AND o.date = s.date AND o.id <> s.id) "
                         "ORDER BY s.id");
        while (seeds.Step()) candidates.push_back({seeds.Int(0), seeds.Int(1), seeds.Text(2), seeds.Text(3)});
    }
    const int total = static_cast<int>(candidates.size());
    CStatement others(db, "SELECT id, source, body FROM mails WHERE pal_id = ? AND date = ? AND id <> ?");
    CStatement drop(db, "DELETE FROM mails WHERE id = ?");
    int removed = 0;
    for (int i = 0; i < total; ++i) {
        const SeedRow& seed = candidates[static_cast<std::size_t>(i)];
        if (progress && i % 256 == 0) progress(i, total);
        const std::string key = TwinBodyKey(seed.body);
        others.Bind(1, seed.palId).Bind(2, seed.date).Bind(3, seed.id);
        bool twin = false;
        // A later seed gives way to an earlier one; any seed gives way to a mail from elsewhere.
        while (!twin && others.Step())
            twin = (others.Text(1) != "seed" || others.Int(0) < seed.id) && TwinBodyKey(others.Text(2)) == key;
        others.Reset();
        if (!twin) continue;
        drop.Bind(1, seed.id).Run();
        ++removed;
    }
    if (progress) progress(total, total);
    return removed;
}
