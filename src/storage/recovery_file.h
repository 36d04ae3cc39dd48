// The recovery copy: a few seconds after a change the table is written, in the pal data
// file's own format, to $XDG_STATE_HOME/yubino/recovery/, named for the data file. A
// normal close removes it after the save, so a copy newer than its data file at start-up
// means the last session did not end normally.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/jobs.h"
#include "core/pen_pal.h"

#include "storage/app_paths.h"
#include "storage/atomic_file.h"

class CBackupStore;
class CYubinoApp;

std::filesystem::path RecoveryFileFor(const std::filesystem::path& dataFile, const EnvLookup& env = SystemEnv);

// Makes the folder and writes `bytes` atomically.
WriteResult WriteRecoveryFile(const std::filesystem::path& file, std::string_view bytes);

enum class RecoveryState {
    None,   // no recovery copy
    Newer,  // changed after the data file: the last session's changes were not saved
    Stale,  // the data file was saved after it
};
RecoveryState InspectRecoveryFile(const std::filesystem::path& dataFile, const std::filesystem::path& recoveryFile);

enum class RecoveryOutcome { NoneFound, Restored, Declined, Damaged, Stale, Foreign };

// Start-up, once the data file is loaded: a newer recovery copy is offered through the
// port. Yes keeps the file on disk as a backup and puts the copy's table in place; No moves
// the copy to the backups. A damaged copy is never loaded: the user is told and it is kept
// among the backups, as is a stale one. What is not a copy Yubino wrote (a link, another
// program's file) is told and left where it is.
RecoveryOutcome OfferRecovery(CYubinoApp& app, const std::filesystem::path& dataFile,
                              const std::filesystem::path& recoveryFile, CBackupStore& backups);

// The table a pal data file holds; nothing for a file that cannot be read or does not
// load whole (damaged, repeated addresses, more pals than the table holds).
std::optional<std::vector<CPenPal>> ReadWholePalFile(const std::filesystem::path& file);

// Puts a whole pal data file's table in place of `app`'s; false, with the table untouched,
// when it does not read whole.
bool LoadWholePalFile(CYubinoApp& app, const std::filesystem::path& file);

// A backup's table in place of the current one, as one step that can be undone; false,
// with nothing changed, for a backup that is gone or damaged.
bool RestoreFromBackup(CYubinoApp& app, const std::filesystem::path& backup);

// Whether `backup` may replace the table of `dataFile`: a backup that the backups say
// belongs to another data file is asked about through the port first.
bool MayRestoreInto(CYubinoApp& app, const CBackupStore& backups, const std::filesystem::path& backup,
                    const std::filesystem::path& dataFile);

// Writes recovery copies as a job of `jobs` so that a large table never stalls the window:
// the newest submitted content wins, older ones not yet written are dropped. A cancelled
// job still writes what is pending: it may be all that is left.
class CRecoveryWriter {
public:
    explicit CRecoveryWriter(CJobRunner& jobs) : m_jobs(jobs) {}
    // Flushes.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter&) = delete;
    CRecoveryWriter& operator=(const CRecoveryWriter&) = delete;

    void Submit(std::filesystem::path file, std::string bytes);
    // Returns once everything submitted is written. On the thread that submits.
    void Flush();
    // Flushes, then removes `file` (the close saved the data file).
    void Discard(const std::filesystem::path& file);

private:
    // The job's work: writes until nothing is pending.
    void WritePending();

    CJobRunner& m_jobs;
    std::mutex m_mutex;
    std::filesystem::path m_file;
    std::string m_bytes;
    bool m_bPending = false;
    bool m_bWriting = false;
    std::shared_ptr<CJob> m_job;
};
