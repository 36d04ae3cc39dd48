// The correspondence archive: every mail taken in, received and sent, per pal, in one
// SQLite file beside the pal data file, with the user's own addresses and the pals' quiet
// intervals. The pal data file stays the document; losing this file loses history, never
// a pal. Qt-free; texts are UTF-8, pal addresses as the pal table spells them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/mail_record.h"
#include "archive/reply_queue.h"
#include "archive/sqlite_db.h"

// A value other parts of the program keep in the archive's settings (the mailbox check's
// sync points), so that it is committed together with the mails it covers.
struct ArchiveSetting {
    std::string key;
    std::string value;
};

class CMailArchive {
public:
    enum class OpenStatus {
        Opened,       // an existing archive, brought up to date
        Created,      // a new, empty archive
        Rebuilt,      // the old file was damaged or no archive: moved aside, a new one made
        NewerSchema,  // written by a newer Yubino: opened read-only, never downgraded
        Missing,      // read-only and there is no archive yet
        Failed,       // cannot be opened or made (see error)
    };
    struct OpenResult {
        OpenStatus status = OpenStatus::Failed;
        std::filesystem::path movedAside;  // for Rebuilt
        std::string error;                 // for Failed, from SQLite or the file system
    };
    struct StoreResult {
        int stored = 0;     // new mails
        int duplicate = 0;  // already there
        std::string error;  // nothing stored when set (the transaction rolled back)
        bool Ok() const { return error.empty(); }
    };

    // "<data file without extension>.mails.sqlite" in the data file's folder.
    static std::filesystem::path PathFor(const std::filesystem::path& dataFile);

    // Opens the archive at `path`, creating it unless `readOnly`. A file SQLite cannot read
    // is renamed "<name>.damaged-<date>" and a new archive made in its place, except when
    // read-only. Damage deeper in the file is for CheckFile to find.
    OpenResult Open(const std::filesystem::path& path, bool readOnly);
    // Moves the open archive's file aside as damaged and makes a new one in its place.
    OpenResult Rebuild();

    enum class CheckResult { Healthy, Damaged, NotFinished };
    // Stops a running check from another thread.
    class CheckStop {
    public:
        void Stop();
        bool Begin(sqlite3* db);  // false when stopped already
        void End();

    private:
        std::mutex m_mutex;
        sqlite3* m_db = nullptr;
        bool m_bStopped = false;
    };
    // The full damage check (SQLite's quick_check, half a second on a large archive) on a
    // connection of its own, so that it may run on another thread while the archive is in
    // use. `stop` ends it early with NotFinished.
    static CheckResult CheckFile(const std::filesystem::path& path, CheckStop& stop);
    // Whether the check has not passed on `today` ("YYYY-MM-DD"); it runs once a day.
    bool CheckDue(std::string_view today);
    void RecordCheck(std::string_view today);
    void Close();
    bool IsOpen() const { return m_db.IsOpen(); }
    bool IsReadOnly() const { return m_bReadOnly; }

    // The methods below need an open archive; they throw CSqliteError on failure.

    // Stores the mails, each already filed under its pal, in one transaction. A mail is
    // stored once: by its Message-ID for the pal, or without one by pal, date and body.
    // `settings` are written in the same transaction.
    StoreResult Store(const std::vector<MailRecord>& mails, const std::vector<ArchiveSetting>& settings = {});

    // A pal's mails (or everyone's for an empty `pal`), newest first; with `search`, only
    // those whose subject or body holds the folded search text.
    std::vector<StoredMail> Mails(std::string_view pal = {}, std::string_view search = {});
    int MailCount(std::string_view pal);
    // Addresses of the pals with a mail whose subject or body holds the folded text.
    std::vector<std::string> PalsWithText(std::string_view search);

    std::vector<std::string> OwnAddresses();
    void SetOwnAddresses(const std::vector<std::string>& addresses);

    std::optional<std::string> ReadSetting(std::string_view key);
    // In one transaction.
    void WriteSettings(const std::vector<ArchiveSetting>& settings);

    int DefaultQuietDays();
    void SetDefaultQuietDays(int days);
    // The pal's own interval, if one is set.
    std::optional<int> PalQuietDays(std::string_view pal);
    void SetPalQuietDays(std::string_view pal, std::optional<int> days);

    // The newest mail dates of each pal in `pals` (the pal table), with its interval, or
    // `quietDaysForAll` for every pal when given.
    std::vector<PalMailDates> MailDates(const std::vector<std::string>& pals,
                                        std::optional<int> quietDaysForAll = std::nullopt);
    // The same, counting only mails dated before `before` ("YYYY-MM-DD"): the queue as it
    // stood on an earlier day.
    std::vector<PalMailDates> MailDatesBefore(const std::vector<std::string>& pals, std::optional<int> quietDaysForAll,
                                              std::string_view before);
    // The pal's newest mail of `direction` dated before `before` ("YYYY-MM-DD"; empty: any).
    std::optional<MailRecord> NewestMail(std::string_view pal, MailDirection direction, std::string_view before = {});
    // Removes the pal's mails of `source` dated `date` (the undo of "返事を書いた").
    void DeleteMails(std::string_view pal, std::string_view source, std::string_view date);

    // The pal's mails and interval follow its new address; mails the new address already
    // has (the same Message-ID) are kept once.
    void ChangePalAddress(std::string_view oldAddress, std::string_view newAddress);
    void DeletePalMails(std::string_view pal);

    // A consistent copy of the whole archive into a new file (Save As).
    void CopyTo(const std::filesystem::path& path);

private:
    struct SearchFilter {
        std::string sql;  // a condition on mails aliased m, with one parameter
        std::string parameter;
        bool indexed = false;  // answered by the full-text index
    };
    // The condition for mails holding the folded text.
    SearchFilter FilterFor(const std::string& folded);
    bool CommonInNewestMails(const std::string& folded);
    std::vector<std::string> PalsByScan(const std::string& folded);
    std::vector<std::string> PalsByIndex(const std::string& match);
    void AttachVocabulary();
    void Prepare();
    void UseWal();
    std::int64_t PalId(std::string_view address, bool create);
    std::string Setting(std::string_view key);
    void PutSettings(const std::vector<ArchiveSetting>& settings);

    CSqliteDb m_db;
    std::filesystem::path m_path;
    bool m_bReadOnly = false;
};

// A date-time in the archive's form from its parts.
std::string ArchiveDate(int year, int month, int day, int hour, int minute, int second);
