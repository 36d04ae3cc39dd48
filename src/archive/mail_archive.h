// The correspondence archive: every mail taken in, received and sent, per pal, in one
// SQLite file beside the pal data file, with the user's own addresses and the pals' quiet
// intervals. The pal data file stays the document; losing this file loses history, never
// a pal. Qt-free; texts are UTF-8, pal addresses as the pal table spells them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_schema.h"
#include "archive/mail_record.h"
#include "archive/mail_search.h"
#include "archive/reply_queue.h"
#include "core/pal_card.h"

class CSqliteDb;

// What a call through the archive's door tells besides its value: it went well, the file
// failed it (SQLite's words in `error`), or a value stored in it is damaged (`error` names
// it; the result then holds what the program uses in its place).
struct ArchiveStatus {
    enum class Kind { Ok, Failed, DamagedValue };
    Kind kind = Kind::Ok;
    std::string error;
    bool Ok() const { return kind == Kind::Ok; }
};

template <class T>
struct ArchiveResult : ArchiveStatus {
    T value{};
};

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

    CMailArchive();
    ~CMailArchive();
    CMailArchive(const CMailArchive&) = delete;
    CMailArchive& operator=(const CMailArchive&) = delete;

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

    private:
        friend class CMailArchive;
        bool Begin(CSqliteDb& db);  // false when stopped already
        void End();

        std::mutex m_mutex;
        CSqliteDb* m_db = nullptr;
        bool m_bStopped = false;
    };
    // The full damage check (SQLite's quick_check, half a second on a large archive) on a
    // connection of its own, so that it may run on another thread while the archive is in
    // use. `stop` ends it early with NotFinished.
    static CheckResult CheckFile(const std::filesystem::path& path, CheckStop& stop);
    // Whether the check has not passed on `today` ("YYYY-MM-DD"); it runs once a day, and
    // when the archive cannot tell.
    bool CheckDue(std::string_view today);
    ArchiveStatus RecordCheck(std::string_view today);
    void Close();
    bool IsOpen() const;
    bool IsReadOnly() const { return m_bReadOnly; }

    // The methods below need an open archive. None throws: a failure comes back as the
    // status of its result, with an empty value.

    // Stores the mails, each already filed under its pal, in one transaction. A mail is
    // stored once: by its Message-ID for the pal, or without one by pal, date and body.
    // `settings` are written in the same transaction. New mails reach the full-text index
    // five thousand at a time, or at the next search or Close.
    StoreResult Store(const std::vector<MailRecord>& mails, const std::vector<ArchiveSetting>& settings = {});

    // The pal data file's last mails ("seed" records filed under their pals): each is
    // stored only when the archive has no mail of that pal at that date and body.
    StoreResult StoreSeeds(const std::vector<MailRecord>& seeds);
    // Deletes seeds that stand beside the mail they copy; returns how many.
    ArchiveResult<int> RemoveSeedTwins();

    // Per pal address: the newest received mail (date, body) and the oldest received date.
    struct ReceivedSpan {
        std::string pal;
        std::string lastDate;
        std::string lastBody;
        std::string firstDate;
    };
    ArchiveResult<std::vector<ReceivedSpan>> ReceivedSpans();

    // Heard while Open brings an old archive up to date: (done, total) of a long step.
    void SetMigrationProgress(MigrationProgressFn progress) { m_migrationProgress = std::move(progress); }

    // A pal's mails (or everyone's for an empty `pal`), newest first; with `search`, only
    // those whose subject or body holds every word of the folded search text.
    ArchiveResult<std::vector<StoredMail>> Mails(std::string_view pal = {}, std::string_view search = {});
    // Where a page of a pal's mails ended: the date and id of its oldest mail.
    struct MailKey {
        std::string date;
        std::int64_t id = 0;
    };
    // Up to `count` of the pal's mails older than `olderThan` (from the newest when not
    // given), newest first, with their header addresses and attachment counts.
    ArchiveResult<std::vector<StoredMail>> MailPage(std::string_view pal, const std::optional<MailKey>& olderThan,
                                                    int count);
    ArchiveResult<int> MailCount(std::string_view pal);
    // Addresses of the pals with a mail whose subject or body holds every word of the
    // folded text.
    ArchiveResult<std::vector<std::string>> PalsWithText(std::string_view search);
    // The newest `limit` mails that hold every word of `search` and pass `filter`, each
    // with its hits and snippet (see mail_search.h).
    ArchiveResult<MailSearchResults> SearchMails(std::string_view search, const MailSearchFilter& filter = {},
                                                 std::size_t limit = kAllMails);

    ArchiveResult<std::vector<std::string>> OwnAddresses();
    ArchiveStatus SetOwnAddresses(const std::vector<std::string>& addresses);

    ArchiveResult<std::optional<std::string>> ReadSetting(std::string_view key);
    // In one transaction.
    ArchiveStatus WriteSettings(const std::vector<ArchiveSetting>& settings);

    // The days until a pal counts as quiet, for all pals. A stored value that is no whole
    // number of kMinQuietDays to kMaxQuietDays is DamagedValue, with kDefaultQuietDays.
    ArchiveResult<int> DefaultQuietDays();
    ArchiveStatus SetDefaultQuietDays(int days);
    // The pal's own interval, if one is set; a damaged one is DamagedValue, with none.
    ArchiveResult<std::optional<int>> PalQuietDays(std::string_view pal);
    ArchiveStatus SetPalQuietDays(std::string_view pal, std::optional<int> days);

    // The newest mail dates of each pal in `pals` (the pal table), with its interval, or
    // `quietDaysForAll` for every pal when given. A damaged interval is DamagedValue, with
    // the dates all there and the default in its place.
    ArchiveResult<std::vector<PalMailDates>> MailDates(const std::vector<std::string>& pals,
                                                       std::optional<int> quietDaysForAll = std::nullopt);
    // The same, counting only mails dated before `before` ("YYYY-MM-DD"): the queue as it
    // stood on an earlier day.
    ArchiveResult<std::vector<PalMailDates>> MailDatesBefore(const std::vector<std::string>& pals,
                                                             std::optional<int> quietDaysForAll,
                                                             std::string_view before);
    // The pal's newest mail of `direction` dated before `before` ("YYYY-MM-DD"; empty: any).
    ArchiveResult<std::optional<MailRecord>> NewestMail(std::string_view pal, MailDirection direction,
                                                        std::string_view before = {});
    // Removes the pal's mails of `source` dated `date` (the undo of "返事を書いた").
    ArchiveStatus DeleteMails(std::string_view pal, std::string_view source, std::string_view date);

    // The pal's mails and interval follow its new address; mails the new address already
    // has (the same Message-ID) are kept once.
    ArchiveStatus ChangePalAddress(std::string_view oldAddress, std::string_view newAddress);
    ArchiveStatus DeletePalMails(std::string_view pal);

    // The record kept beside a pal's data file entry, if there is one.
    ArchiveResult<std::optional<PalCard>> ReadPalCard(std::string_view pal);
    // Replaces the pal's record, in one transaction.
    ArchiveStatus WritePalCard(std::string_view pal, const PalCard& card);

    // A consistent copy of the whole archive into a new file (Save As).
    ArchiveStatus CopyTo(const std::filesystem::path& path);

private:
    // Puts the mails waiting for the full-text index into it, in the open transaction.
    void IndexWaitingMails();
    // The same in a transaction of its own, when any wait and the archive is writable.
    void CatchUpIndex();
    void AttachVocabulary();
    void Prepare();
    void UseWal();
    std::int64_t PalId(std::string_view address, bool create);
    void WriteCard(std::string_view pal, const PalCard& card);
    std::string Setting(std::string_view key);
    void PutSettings(const std::vector<ArchiveSetting>& settings);
    void PutSetting(std::string_view key, std::string_view value);
    // The interval for all, or nothing when the stored one is damaged.
    std::optional<int> StoredDefaultQuietDays();

    std::unique_ptr<CSqliteDb> m_db;
    std::filesystem::path m_path;
    MigrationProgressFn m_migrationProgress;
    bool m_bReadOnly = false;
};

// A date-time in the archive's form from its parts.
std::string ArchiveDate(int year, int month, int day, int hour, int minute, int second);
