// Older versions of each pal data file: before a save replaces the file, the file as it
// was is copied into a folder of its own (open to the user only), numbered in the order the
// copies were made and named by when the data file was saved. The folder keeps the last
// few saves and one a day for the last weeks; the numbers come from a small per-user file,
// never from the settings file. Only files that Yubino wrote there count as backups: a
// link, a folder or another program's file is left alone.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/app_paths.h"

class CUserInterface;

struct BackupPolicy {
    int keepLast = 10;  // the newest saves, whatever their day
    int keepDays = 30;  // the newest save of each of these last days
};

// "keep-last=N" and "keep-days=N" lines of $XDG_CONFIG_HOME/yubino/backups.conf; the
// defaults for what is missing or not a number from 0 to 1000.
BackupPolicy ReadBackupPolicy(const std::filesystem::path& file);
BackupPolicy ParseBackupPolicy(std::string_view text);
inline constexpr int kMaxBackupPolicyNumber = 1000;
std::filesystem::path BackupPolicyFile(const EnvLookup& env = SystemEnv);

// A name for the data file that no other path shares: "<name>-<hash of the full path>".
std::string DataFileTag(const std::filesystem::path& dataFile);


struct BackupEntry {
    std::filesystem::path file;
    std::time_t saved = 0;       // when the data file was saved with this content
    std::uint64_t sequence = 0;  // larger for later backups; 0 for the dated names of older versions
    std::uintmax_t bytes = 0;
    int sameSecond = 1;  // older versions' "-2", "-3", ... for saves within one second
};

// Whether a file in a folder that only Yubino writes is one of its pal data files: a
// regular file (a link is not followed) that begins like one. Its bytes go to `bytes`.
enum class OwnFile { Ours, Missing, Foreign };
OwnFile ReadOwnPalFile(const std::filesystem::path& file, std::string* bytes = nullptr);

// The backups in `folder`, newest first: the order they were made in, never a file time
// or the text of a name. Files that are none of Yubino's backups are left out.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);
// The files in `folder` that ListBackups leaves out (links, folders, other files).
std::vector<std::filesystem::path> ForeignBackupFiles(const std::filesystem::path& folder);

// Which backups (newest first) rotation removes at `now`.
std::vector<std::filesystem::path> BackupsToRemove(const std::vector<BackupEntry>& newestFirst, std::time_t now,
                                                   const BackupPolicy& policy);

class CBackupStore {
public:
    using Clock = std::function<std::time_t()>;
    CBackupStore(std::filesystem::path root, BackupPolicy policy, Clock clock);
    // $XDG_DATA_HOME/yubino/backups with the user's policy and the system clock.
    static CBackupStore ForUser(const EnvLookup& env = SystemEnv);

    std::filesystem::path FolderFor(const std::filesystem::path& dataFile) const;

    enum class Result { Kept, NothingToKeep, FolderUnavailable, Failed, NotOurs };
    // Copies `source` (the data file itself unless given) into the data file's folder, named
    // by the source's time of change, then rotates. A content equal to the newest backup's
    // is not kept twice. With `move`, the source is removed once it is kept. A `source`
    // (a recovery copy) that is not a pal data file Yubino wrote is left alone: NotOurs.
    Result Keep(const std::filesystem::path& dataFile, const std::filesystem::path& source = {}, bool move = false);
    // Why the last Keep failed, in Japanese (UTF-8).
    const std::string& LastError() const { return m_lastError; }

    // The data file whose backup `backup` is, when the backups say it is another than
    // `dataFile`: its path, or its folder's name for folders of older versions.
    std::optional<std::string> OtherDataFileOf(const std::filesystem::path& backup,
                                               const std::filesystem::path& dataFile) const;

private:
    std::filesystem::path m_root;
    BackupPolicy m_policy;
    Clock m_clock;
    std::string m_lastError;
};

// The backup taken on the save road: a folder that cannot be made or a backup that cannot
// be written (a full disk) leaves saving as it was, and the user is told once per session.
class CSaveBackups {
public:
    explicit CSaveBackups(CBackupStore store = CBackupStore::ForUser()) : m_store(std::move(store)) {}
    void BeforeReplace(const std::filesystem::path& dataFile, CUserInterface& ui);
    CBackupStore& Store() { return m_store; }

private:
    CBackupStore m_store;
    bool m_bToldOff = false;
    bool m_bToldFailed = false;
};
