// Older versions of each pal data file: before a save replaces the file, the file as it
// was is copied into a folder of its own, named by when it was saved. The folder keeps the
// last few saves and one a day for the last weeks; the numbers come from a small per-user
// file, never from the settings file.
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
    std::time_t saved = 0;  // when the data file was saved with this content
    int sequence = 1;       // 2, 3, ... for later backups of a file saved in the same second
    std::uintmax_t bytes = 0;
};

// The backups in `folder`, newest first; other files are left out.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);

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

    enum class Result { Kept, NothingToKeep, FolderUnavailable, Failed };
    // Copies `source` (the data file itself unless given) into the data file's folder, named
    // by the source's time of change, then rotates. A content equal to the newest backup's
    // is not kept twice. With `move`, the source is removed once it is kept.
    Result Keep(const std::filesystem::path& dataFile, const std::filesystem::path& source = {}, bool move = false);

private:
    std::filesystem::path m_root;
    BackupPolicy m_policy;
    Clock m_clock;
};

// The backup taken on the save road: a folder that cannot be made leaves saving as it
// was, and the user is told once that backups are off.
class CSaveBackups {
public:
    explicit CSaveBackups(CBackupStore store = CBackupStore::ForUser()) : m_store(std::move(store)) {}
    void BeforeReplace(const std::filesystem::path& dataFile, CUserInterface& ui);
    CBackupStore& Store() { return m_store; }

private:
    CBackupStore m_store;
    bool m_bToldOff = false;
};
