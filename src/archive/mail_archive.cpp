#include "archive/mail_archive.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <set>

#include "archive/archive_schema.h"
#include "archive/archive_search.h"
#include "archive/sqlite_db.h"
#include "archive/stored_mail_row.h"
#include "archive/text_fold.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDefaultQuietKey = "default_quiet_days";
constexpr const char* kLastCheckKey = "last_quick_check";

std::int64_t BodyHash(std::string_view body) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : body) hash = (hash ^ c) * 1099511628211ull;
    return static_cast<std::int64_t>(hash);
}

// Mails waiting for the full-text index go into it together once this many wait (or
// before a search, or when the archive closes): each write to the index adds a segment
// that its merges must rewrite.
constexpr std::int64_t kIndexBatch = 5000;

// The stored folded text ends with two line feeds, so that every word of one or two
// characters begins some three-character term of the index (see archive_search.cpp).
constexpr const char* kFoldedEnd = "\n\n";

// The archive's door: whatever SQLite, the file system or a damaged value throws comes
// back as a status.
template <class F>
ArchiveStatus Guarded(F&& work) {
    try {
        work();
        return {};
    } catch (const std::exception& e) {
        return {ArchiveStatus::Kind::Failed, e.what()};
    }
}

template <class T, class F>
ArchiveResult<T> GuardedRead(F&& read) {
    ArchiveResult<T> result;
    try {
        result.value = read();
    } catch (const std::exception& e) {
        result.kind = ArchiveStatus::Kind::Failed;
        result.error = e.what();
    }
    return result;
}

// A stored interval: a whole number the settings accept, or nothing.
std::optional<int> QuietDaysIn(std::string_view text) {
    int days = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), days);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (days < kMinQuietDays || days > kMaxQuietDays) return std::nullopt;
    return days;
}

std::optional<int> QuietDaysIn(const CStatement& row, int column) {
    if (!row.IsInteger(column)) return QuietDaysIn(row.Text(column));  // a text of digits passes
    const std::int64_t days = row.Int(column);
    if (days < kMinQuietDays || days > kMaxQuietDays) return std::nullopt;
    return static_cast<int>(days);
}

ArchiveStatus DamagedStatus(std::string what) { return {ArchiveStatus::Kind::DamagedValue, std::move(what)}; }

}  // namespace

CMailArchive::CMailArchive() : m_db(std::make_unique<CSqliteDb>()) {}

bool CMailArchive::IsOpen() const { return m_db->IsOpen(); }

namespace {

std::string DamagedName(const fs::path& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return path.filename().string() + ".damaged-" + stamp;
}

// Moves the damaged file and its journal aside; the shared-memory index is rebuilt anyway.
fs::path MoveAside(const fs::path& path) {
    const fs::path aside = path.parent_path() / DamagedName(path);
    fs::rename(path, aside);
    std::error_code ec;
    fs::rename(path.string() + "-wal", aside.string() + "-wal", ec);
    fs::remove(path.string() + "-shm", ec);
    return aside;
}

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

class CDamaged : public std::runtime_error {
public:
    CDamaged() : std::runtime_error("quick_check failed") {}
};

}  // namespace

std::string ArchiveDate(int year, int month, int day, int hour, int minute, int second) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
    return text;
}

fs::path CMailArchive::PathFor(const fs::path& dataFile) {
    return dataFile.parent_path() / (dataFile.stem().string() + ".mails.sqlite");
}

void CMailArchive::Prepare() {
    m_db->Exec("PRAGMA foreign_keys = ON");
    // The full-text index's merges and the per-pal indexes touch pages all over a large
    // archive: a bigger cache and mapped reads keep intake and search off the disk.
    m_db->Exec("PRAGMA cache_size = -32768");
    m_db->Exec("PRAGMA mmap_size = 268435456");
}

void CMailArchive::AttachVocabulary() {
    m_db->Exec("CREATE VIRTUAL TABLE IF NOT EXISTS temp.mails_vocab USING fts5vocab(main, mails_fts, row)");
}

void CMailArchive::UseWal() {
    m_db->Exec("PRAGMA journal_mode = WAL");
    m_db->Exec("PRAGMA synchronous = NORMAL");
    // An intake commits each mail, touching a few pages all over a large archive: fewer,
    // larger checkpoints write each such page back once for many mails (the log grows to
    // about 64 MB between them).
    m_db->Exec("PRAGMA wal_autocheckpoint = 16384");
}

CMailArchive::OpenResult CMailArchive::Rebuild() {
    m_db->Close();
    m_bReadOnly = false;
    OpenResult result;
    try {
        result.movedAside = MoveAside(m_path);
        m_db->Open(m_path, false, true);
        Prepare();
        UseWal();
        MigrateSchema(*m_db, 0);
        AttachVocabulary();
        result.status = OpenStatus::Rebuilt;
    } catch (const std::exception& e) {
        m_db->Close();
        result.status = OpenStatus::Failed;
        result.error = e.what();
    }
    return result;
}

void CMailArchive::CheckStop::Stop() {
    const std::lock_guard lock(m_mutex);
    m_bStopped = true;
    if (m_db) sqlite3_interrupt(m_db->Handle());
}

bool CMailArchive::CheckStop::Begin(CSqliteDb& db) {
    const std::lock_guard lock(m_mutex);
    m_db = m_bStopped ? nullptr : &db;
    return !m_bStopped;
}

void CMailArchive::CheckStop::End() {
    const std::lock_guard lock(m_mutex);
    m_db = nullptr;
}

CMailArchive::CheckResult CMailArchive::CheckFile(const fs::path& path, CheckStop& stop) {
    CSqliteDb db;
    try {
        db.Open(path, /*readOnly=*/true, /*create=*/false);
        if (!stop.Begin(db)) return CheckResult::NotFinished;
        CStatement check(db, "PRAGMA quick_check");
        const bool healthy = check.Step() && check.Text(0) == "ok";
        stop.End();
        return healthy ? CheckResult::Healthy : CheckResult::Damaged;
    } catch (const CSqliteError& e) {
        stop.End();
        return IsDamage(e.Code()) ? CheckResult::Damaged : CheckResult::NotFinished;
    }
}

bool CMailArchive::CheckDue(std::string_view today) {
    if (m_bReadOnly) return false;
    const ArchiveResult<std::string> last = GuardedRead<std::string>([&] { return Setting(kLastCheckKey); });
    return !last.Ok() || last.value != today;
}

ArchiveStatus CMailArchive::RecordCheck(std::string_view today) {
    return Guarded([&] { PutSetting(kLastCheckKey, today); });
}

CMailArchive::OpenResult CMailArchive::Open(const fs::path& path, bool readOnly) {
    Close();
    m_path = path;
    OpenResult result;
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (exists && !fs::is_regular_file(path, ec)) {
        result.error = "not a regular file";
        return result;
    }
    if (!exists && readOnly) {
        result.status = OpenStatus::Missing;
        return result;
    }
    try {
        try {
            m_db->Open(path, readOnly, /*create=*/true);
            Prepare();
            const int version = ReadSchemaVersion(*m_db);
            if (version < 0) throw CDamaged();  // some other program's database
            if (version > kArchiveSchemaVersion) {
                m_db->Open(path, /*readOnly=*/true, /*create=*/false);
                m_bReadOnly = true;
                result.status = OpenStatus::NewerSchema;
                try {
                    AttachVocabulary();
                } catch (const CSqliteError&) {
                    // A newer layout may lack the index: searches then fail and are told so.
                }
                return result;
            }
            if (!readOnly) {
                UseWal();
                MigrateSchema(*m_db, version, kArchiveSchemaVersion, m_migrationProgress);
            }
            result.status = exists && version > 0 ? OpenStatus::Opened : OpenStatus::Created;
        } catch (const CSqliteError& e) {
            if (!IsDamage(e.Code())) throw;
            throw CDamaged();
        }
    } catch (const CDamaged&) {
        m_db->Close();
        if (readOnly) {
            result.error = "the archive is damaged";
            return result;
        }
        return Rebuild();
    } catch (const CSqliteError& e) {
        m_db->Close();
        result.status = OpenStatus::Failed;
        result.error = e.what();
        return result;
    }
    try {
        AttachVocabulary();
    } catch (const CSqliteError& e) {
        m_db->Close();
        return {OpenStatus::Failed, {}, e.what()};
    }
    m_bReadOnly = readOnly;
    return result;
}

void CMailArchive::IndexWaitingMails() {
    m_db->Exec(
        "INSERT INTO mails_fts(rowid, folded) SELECT m.id, m.folded FROM unindexed u JOIN mails m ON m.id = u.id");
    m_db->Exec("DELETE FROM unindexed");
}

void CMailArchive::CatchUpIndex() {
    if (m_bReadOnly) return;  // the archive's writer indexes them
    CStatement waiting(*m_db, "SELECT EXISTS (SELECT 1 FROM unindexed)");
    if (!waiting.Step() || waiting.Int(0) == 0) return;
    CTransaction transaction(*m_db);
    IndexWaitingMails();
    transaction.Commit();
}

CMailArchive::~CMailArchive() { Close(); }

void CMailArchive::Close() {
    if (m_db->IsOpen()) {
        try {
            CatchUpIndex();
        } catch (const CSqliteError&) {
            // They stay waiting in the file; the next writer indexes them.
        }
    }
    m_db->Close();
    m_bReadOnly = false;
}

std::int64_t CMailArchive::PalId(std::string_view address, bool create) {
    if (create) {
        CStatement insert(*m_db, "INSERT INTO pals(address) VALUES (?) ON CONFLICT(address) DO NOTHING");
        insert.Bind(1, address).Run();
    }
    CStatement find(*m_db, "SELECT id FROM pals WHERE address = ?");
    find.Bind(1, address);
    return find.Step() ? find.Int(0) : 0;
}

CMailArchive::StoreResult CMailArchive::Store(const std::vector<MailRecord>& mails,
                                              const std::vector<ArchiveSetting>& settings) {
    StoreResult result;
    try {
        CTransaction transaction(*m_db);
        // Prepared once for the whole batch.
        CStatement insert(*m_db,
                          "INSERT INTO mails(pal_id, direction, date, subject, body, message_id, source, body_hash, "
                          "folded, from_address, to_addresses, cc_addresses, attachments) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        // "message_id <> ''" lets SQLite use the index of Message-IDs, which leaves the
        // mails without one out; without it, the lookup read every mail of the pal.
        // A mail is the one stored when its Message-ID, date and text are; two different
        // mails under one Message-ID are both kept.
        CStatement byId(*m_db,
                        "SELECT 1 FROM mails WHERE pal_id = ? AND message_id = ? AND message_id <> '' "
                        "AND date = ? AND body_hash = ? AND body = ?");
        CStatement same(*m_db,
                        "SELECT 1 FROM mails WHERE pal_id = ? AND message_id = ? AND date = ? AND body_hash = ? "
                        "AND body = ?");
        std::map<std::string, std::int64_t, std::less<>> palIds;
        std::int64_t firstNew = 0;
        for (const MailRecord& mail : mails) {
            if (mail.pal.empty()) continue;
            auto known = palIds.find(mail.pal);
            if (known == palIds.end()) known = palIds.emplace(mail.pal, PalId(mail.pal, true)).first;
            const std::int64_t pal = known->second;
            CStatement& duplicate = mail.messageId.empty() ? same : byId;
            duplicate.Bind(1, pal).Bind(2, mail.messageId).Bind(3, mail.date);
            duplicate.Bind(4, BodyHash(mail.body)).Bind(5, mail.body);
            const bool stored = duplicate.Step();
            duplicate.Reset();
            if (stored) {
                ++result.duplicate;
                continue;
            }
            insert.Bind(1, pal).Bind(2, static_cast<std::int64_t>(mail.direction));
            insert.Bind(3, mail.date).Bind(4, mail.subject).Bind(5, mail.body).Bind(6, mail.messageId);
            insert.Bind(7, mail.source).Bind(8, BodyHash(mail.body));
            insert.Bind(9, FoldForSearch(mail.subject) + "\n" + FoldForSearch(mail.body) + kFoldedEnd);
            insert.Bind(10, mail.from).Bind(11, JoinAddresses(mail.to)).Bind(12, JoinAddresses(mail.cc));
            insert.Bind(13, std::int64_t{mail.attachments});
            insert.Run();
            if (result.stored++ == 0) firstNew = m_db->LastInsertRowId();
        }
        // New rows take ids above every stored one; they wait to be indexed with others.
        if (result.stored > 0) {
            CStatement waiting(*m_db, "INSERT INTO unindexed(id) SELECT id FROM mails WHERE id >= ?");
            waiting.Bind(1, firstNew).Run();
            CStatement count(*m_db, "SELECT count(*) FROM unindexed");
            if (count.Step() && count.Int(0) >= kIndexBatch) IndexWaitingMails();
        }
        PutSettings(settings);
        transaction.Commit();
    } catch (const std::exception& e) {
        result = StoreResult{};
        result.error = e.what();
    }
    return result;
}

ArchiveResult<std::vector<StoredMail>> CMailArchive::Mails(std::string_view pal, std::string_view search) {
    return GuardedRead<std::vector<StoredMail>>([&] {
        std::string sql =
            std::string("SELECT ") + kStoredMailColumns + " FROM mails m JOIN pals p ON p.id = m.pal_id WHERE ";
        sql += pal.empty() ? "?1 = ''" : "p.address = ?1";
        const std::vector<std::string> words = SearchWords(search);
        if (!words.empty()) CatchUpIndex();
        const SearchCondition condition = CArchiveSearch(*m_db).ConditionFor(words);
        if (condition.nowhere) return std::vector<StoredMail>{};
        if (!condition.match.empty()) sql += " AND m.id IN (SELECT rowid FROM mails_fts WHERE mails_fts MATCH ?2)";
        for (std::size_t i = 0; i < condition.scanned.size(); ++i) sql += " AND instr(m.folded, ?) > 0";
        sql += " ORDER BY m.date DESC, m.id DESC";
        CStatement query(*m_db, sql);
        query.Bind(1, pal);
        int parameter = 2;
        if (!condition.match.empty()) query.Bind(parameter++, condition.match);
        for (const std::string& word : condition.scanned) query.Bind(parameter++, word);
        std::vector<StoredMail> mails;
        while (query.Step()) mails.push_back(StoredMailAt(query));
        return mails;
    });
}

ArchiveResult<int> CMailArchive::MailCount(std::string_view pal) {
    return GuardedRead<int>([&] {
        CStatement count(*m_db, "SELECT count(*) FROM mails m JOIN pals p ON p.id = m.pal_id WHERE p.address = ?");
        count.Bind(1, pal).Step();
        return static_cast<int>(count.Int(0));
    });
}

ArchiveResult<std::vector<std::string>> CMailArchive::PalsWithText(std::string_view search) {
    return GuardedRead<std::vector<std::string>>([&]() -> std::vector<std::string> {
        const std::vector<std::string> words = SearchWords(search);
        if (words.empty()) return {};
        CatchUpIndex();
        return CArchiveSearch(*m_db).PalsWith(words);
    });
}

ArchiveResult<MailSearchResults> CMailArchive::SearchMails(std::string_view search, const MailSearchFilter& filter,
                                                           std::size_t limit) {
    return GuardedRead<MailSearchResults>([&] {
        const std::vector<std::string> words = SearchWords(search);
        if (!words.empty()) CatchUpIndex();
        return CArchiveSearch(*m_db).Mails(words, filter, limit);
    });
}

ArchiveResult<std::vector<std::string>> CMailArchive::OwnAddresses() {
    return GuardedRead<std::vector<std::string>>([&] {
        CStatement query(*m_db, "SELECT address FROM own_addresses ORDER BY position");
        std::vector<std::string> addresses;
        while (query.Step()) addresses.push_back(query.Text(0));
        return addresses;
    });
}

ArchiveStatus CMailArchive::SetOwnAddresses(const std::vector<std::string>& addresses) {
    return Guarded([&] {
        CTransaction transaction(*m_db);
        m_db->Exec("DELETE FROM own_addresses");
        CStatement insert(*m_db, "INSERT OR IGNORE INTO own_addresses(address, position) VALUES (?, ?)");
        std::int64_t position = 0;
        for (const std::string& address : addresses) {
            if (!address.empty()) insert.Bind(1, address).Bind(2, position++).Run();
        }
        transaction.Commit();
    });
}

std::string CMailArchive::Setting(std::string_view key) {
    CStatement query(*m_db, "SELECT value FROM settings WHERE key = ?");
    query.Bind(1, key);
    return query.Step() ? query.Text(0) : std::string();
}

ArchiveResult<std::optional<std::string>> CMailArchive::ReadSetting(std::string_view key) {
    return GuardedRead<std::optional<std::string>>([&]() -> std::optional<std::string> {
        CStatement query(*m_db, "SELECT value FROM settings WHERE key = ?");
        query.Bind(1, key);
        if (!query.Step()) return std::nullopt;
        return query.Text(0);
    });
}

void CMailArchive::PutSetting(std::string_view key, std::string_view value) {
    CStatement set(*m_db, "INSERT OR REPLACE INTO settings(key, value) VALUES (?, ?)");
    set.Bind(1, key).Bind(2, value).Run();
}

void CMailArchive::PutSettings(const std::vector<ArchiveSetting>& settings) {
    if (settings.empty()) return;
    CStatement set(*m_db, "INSERT OR REPLACE INTO settings(key, value) VALUES (?, ?)");
    for (const ArchiveSetting& setting : settings) set.Bind(1, setting.key).Bind(2, setting.value).Run();
}

ArchiveStatus CMailArchive::WriteSettings(const std::vector<ArchiveSetting>& settings) {
    return Guarded([&] {
        CTransaction transaction(*m_db);
        PutSettings(settings);
        transaction.Commit();
    });
}

std::optional<int> CMailArchive::StoredDefaultQuietDays() {
    const std::string value = Setting(kDefaultQuietKey);
    return value.empty() ? std::optional(kDefaultQuietDays) : QuietDaysIn(value);
}

ArchiveResult<int> CMailArchive::DefaultQuietDays() {
    ArchiveResult<std::optional<int>> stored =
        GuardedRead<std::optional<int>>([&] { return StoredDefaultQuietDays(); });
    ArchiveResult<int> result;
    result.value = stored.value.value_or(kDefaultQuietDays);
    if (!stored.Ok())
        static_cast<ArchiveStatus&>(result) = stored;
    else if (!stored.value)
        static_cast<ArchiveStatus&>(result) = DamagedStatus(kDefaultQuietKey);
    return result;
}

ArchiveStatus CMailArchive::SetDefaultQuietDays(int days) {
    return Guarded([&] { PutSetting(kDefaultQuietKey, std::to_string(days)); });
}

ArchiveResult<std::optional<int>> CMailArchive::PalQuietDays(std::string_view pal) {
    bool damaged = false;
    ArchiveResult<std::optional<int>> result = GuardedRead<std::optional<int>>([&]() -> std::optional<int> {
        CStatement query(*m_db, "SELECT quiet_days FROM pals WHERE address = ?");
        query.Bind(1, pal);
        if (!query.Step() || query.IsNull(0)) return std::nullopt;
        const std::optional<int> days = QuietDaysIn(query, 0);
        damaged = !days;
        return days;
    });
    if (damaged) static_cast<ArchiveStatus&>(result) = DamagedStatus("quiet_days of " + std::string(pal));
    return result;
}

ArchiveStatus CMailArchive::SetPalQuietDays(std::string_view pal, std::optional<int> days) {
    return Guarded([&] {
        const std::int64_t id = PalId(pal, true);
        CStatement set(*m_db, "UPDATE pals SET quiet_days = ? WHERE id = ?");
        if (days)
            set.Bind(1, static_cast<std::int64_t>(*days));
        else
            set.BindNull(1);
        set.Bind(2, id).Run();
    });
}

ArchiveResult<std::vector<PalMailDates>> CMailArchive::MailDates(const std::vector<std::string>& pals,
                                                                 std::optional<int> quietDaysForAll) {
    // Every date sorts before "A".
    return MailDatesBefore(pals, quietDaysForAll, "A");
}

ArchiveResult<std::vector<PalMailDates>> CMailArchive::MailDatesBefore(const std::vector<std::string>& pals,
                                                                       std::optional<int> quietDaysForAll,
                                                                       std::string_view before) {
    std::string damaged;
    ArchiveResult<std::vector<PalMailDates>> result = GuardedRead<std::vector<PalMailDates>>([&] {
        const std::optional<int> stored = quietDaysForAll ? quietDaysForAll : StoredDefaultQuietDays();
        if (!stored) damaged = kDefaultQuietKey;
        const int defaultDays = stored.value_or(kDefaultQuietDays);
        const std::set<std::string_view> wanted(pals.begin(), pals.end());
        // Each newest date is one step down the (pal, direction, date) index.
        CStatement query(
            *m_db,
            "SELECT address, quiet_days, "
            "(SELECT max(date) FROM mails WHERE pal_id = p.id AND direction = 0 AND date < ?1), "
            "(SELECT max(date) FROM mails WHERE pal_id = p.id AND direction = 1 AND date < ?1) FROM pals p");
        query.Bind(1, before);
        std::vector<PalMailDates> dates;
        while (query.Step()) {
            std::string address = query.Text(0);
            if (!wanted.contains(address)) continue;  // mails kept for a deleted pal
            PalMailDates entry{std::move(address), query.Text(2), query.Text(3), defaultDays};
            if (!quietDaysForAll && !query.IsNull(1)) {
                const std::optional<int> own = QuietDaysIn(query, 1);
                if (!own && damaged.empty()) damaged = "quiet_days of " + entry.pal;
                entry.quietDays = own.value_or(defaultDays);
            }
            dates.push_back(std::move(entry));
        }
        return dates;
    });
    if (result.Ok() && !damaged.empty()) static_cast<ArchiveStatus&>(result) = DamagedStatus(damaged);
    return result;
}

ArchiveStatus CMailArchive::ChangePalAddress(std::string_view oldAddress, std::string_view newAddress) {
    return Guarded([&] {
        if (oldAddress == newAddress) return;
        CTransaction transaction(*m_db);
        const std::int64_t oldId = PalId(oldAddress, false);
        if (oldId != 0) {
            const std::int64_t newId = PalId(newAddress, false);
            if (newId == 0) {
                CStatement rename(*m_db, "UPDATE pals SET address = ? WHERE id = ?");
                rename.Bind(1, newAddress).Bind(2, oldId).Run();
            } else {
                // Both addresses have mails: move them over; those already there (the same
                // Message-ID, date and text) go with the old pal.
                CStatement move(*m_db,
                                "UPDATE mails SET pal_id = ?1 WHERE pal_id = ?2 AND NOT EXISTS (SELECT 1 FROM mails o "
                                "WHERE o.pal_id = ?1 AND o.message_id = mails.message_id AND mails.message_id <> '' "
                                "AND o.date = mails.date AND o.body_hash = mails.body_hash AND o.body = mails.body)");
                move.Bind(1, newId).Bind(2, oldId).Run();
                // The record goes along unless the new address has one of its own.
                CStatement card(*m_db, "UPDATE OR IGNORE pal_cards SET pal_id = ? WHERE pal_id = ?");
                card.Bind(1, newId).Bind(2, oldId).Run();
                CStatement drop(*m_db, "DELETE FROM pals WHERE id = ?");
                drop.Bind(1, oldId).Run();
            }
        }
        transaction.Commit();
    });
}

ArchiveStatus CMailArchive::DeletePalMails(std::string_view pal) {
    return Guarded([&] {
        CStatement drop(*m_db, "DELETE FROM pals WHERE address = ?");
        drop.Bind(1, pal).Run();
    });
}

ArchiveStatus CMailArchive::CopyTo(const fs::path& path) {
    return Guarded([&] {
        CStatement copy(*m_db, "VACUUM INTO ?");
        copy.Bind(1, path.string()).Run();
    });
}

ArchiveResult<std::optional<MailRecord>> CMailArchive::NewestMail(std::string_view pal, MailDirection direction,
                                                                  std::string_view before) {
    return GuardedRead<std::optional<MailRecord>>([&]() -> std::optional<MailRecord> {
        CStatement query(*m_db,
                         "SELECT m.date, m.subject, m.body, m.message_id, m.source FROM mails m "
                         "JOIN pals p ON p.id = m.pal_id WHERE p.address = ?1 AND m.direction = ?2 AND m.date < ?3 "
                         "ORDER BY m.date DESC, m.id DESC LIMIT 1");
        query.Bind(1, pal).Bind(2, std::int64_t{static_cast<int>(direction)}).Bind(3, before.empty() ? "A" : before);
        if (!query.Step()) return std::nullopt;
        MailRecord mail;
        mail.pal = std::string(pal);
        mail.direction = direction;
        mail.date = query.Text(0);
        mail.subject = query.Text(1);
        mail.body = query.Text(2);
        mail.messageId = query.Text(3);
        mail.source = query.Text(4);
        return mail;
    });
}

ArchiveStatus CMailArchive::DeleteMails(std::string_view pal, std::string_view source, std::string_view date) {
    return Guarded([&] {
        CStatement drop(*m_db,
                        "DELETE FROM mails WHERE pal_id = (SELECT id FROM pals WHERE address = ?1) AND source = ?2 "
                        "AND date = ?3");
        drop.Bind(1, pal).Bind(2, source).Bind(3, date).Run();
    });
}
