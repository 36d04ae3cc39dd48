#include "storage/recovery_file.h"

#include <sys/stat.h>

#include <utility>

#include "core/cp932.h"
#include "core/silent_user_interface.h"
#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/backup_store.h"
#include "core/file_read.h"
#include "storage/pal_data_file.h"

namespace fs = std::filesystem;

namespace {

// Nanoseconds of the last change; -1 for a missing file. A link's own time, never its target's.
long long ChangeTimeNs(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

}  // namespace

fs::path RecoveryFileFor(const fs::path& dataFile, const EnvLookup& env) {
    const fs::path base = XdgBaseDirectory(env, "XDG_STATE_HOME", ".local/state");
    return base.empty() || dataFile.empty() ? fs::path() : base / "yubino" / "recovery" / DataFileTag(dataFile);
}

WriteResult WriteRecoveryFile(const fs::path& file, std::string_view bytes) {
    MakePrivateFolder(file.parent_path());
    return WritePrivateFileAtomically(file, bytes);
}

RecoveryState InspectRecoveryFile(const fs::path& dataFile, const fs::path& recoveryFile) {
    const long long copy = recoveryFile.empty() ? -1 : ChangeTimeNs(recoveryFile);
    if (copy < 0) return RecoveryState::None;
    return copy > ChangeTimeNs(dataFile) ? RecoveryState::Newer : RecoveryState::Stale;
}

std::optional<std::vector<CPenPal>> ReadWholePalFile(const fs::path& file) {
    const std::optional<std::string> bytes = ReadRegularFileBytes(file, kPalDataFileCap);
    if (!bytes) return std::nullopt;
    CSilentUserInterface silent;
    CYubinoApp scratch(silent);
    const PalDataReadResult read = ReadPalData(scratch, *bytes);
    if (read.status != PalDataReadResult::Status::Loaded || read.LostData()) return std::nullopt;
    return scratch.Pals();
}

bool LoadWholePalFile(CYubinoApp& app, const fs::path& file) {
    const std::optional<std::vector<CPenPal>> pals = ReadWholePalFile(file);
    if (!pals) return false;
    app.ReplaceRows(0, app.Pals().size(), *pals);
    for (const CPenPal& pal : app.Pals())
        if (pal.m_bUsePicture == 1) app.UI().PreloadPicture(pal.m_strPictureFile);
    app.UpdateListView();
    app.UpdateMapView();
    return true;
}

bool RestoreFromBackup(CYubinoApp& app, const fs::path& backup) {
    CTableChange change(app, StepKind::Restore);
    return LoadWholePalFile(app, backup);
}

bool MayRestoreInto(CYubinoApp& app, const CBackupStore& backups, const fs::path& backup, const fs::path& dataFile) {
    const std::optional<std::string> other = backups.OtherDataFileOf(backup, dataFile);
    return !other || app.UI().AskYesNo(FormatText(texts::kRestoreOtherFile, PathText(*other)));
}

RecoveryOutcome OfferRecovery(CYubinoApp& app, const fs::path& dataFile, const fs::path& recoveryFile,
                              CBackupStore& backups) {
    // A link or another program's file under the copy's name is neither offered nor kept.
    if (!recoveryFile.empty() && ReadOwnPalFile(recoveryFile) == OwnFile::Foreign) {
        app.UI().ShowMessage(FormatText(texts::kRecoveryForeign, PathText(recoveryFile)), MessageKind::Warning);
        return RecoveryOutcome::Foreign;
    }
    switch (InspectRecoveryFile(dataFile, recoveryFile)) {
        case RecoveryState::None:
            return RecoveryOutcome::NoneFound;
        case RecoveryState::Stale:
            backups.Keep(dataFile, recoveryFile, /*move=*/true);
            return RecoveryOutcome::Stale;
        case RecoveryState::Newer:
            break;
    }
    // A session that ended after undoing its changes left nothing to ask about.
    if (ReadRegularFileBytes(recoveryFile, kPalDataFileCap) == ReadRegularFileBytes(dataFile, kPalDataFileCap)) {
        std::error_code ec;
        fs::remove(recoveryFile, ec);
        return RecoveryOutcome::Stale;
    }
    if (!app.UI().AskYesNo(Cp932Text(texts::kRecoveryQuestion))) {
        backups.Keep(dataFile, recoveryFile, /*move=*/true);
        return RecoveryOutcome::Declined;
    }
    backups.Keep(dataFile);
    if (LoadWholePalFile(app, recoveryFile)) return RecoveryOutcome::Restored;
    const std::string path = recoveryFile.string();
    app.UI().ShowMessage(FormatText(texts::kRecoveryDamaged, cp932::FromUtf8(path).value_or(path)),
                         MessageKind::Warning);
    backups.Keep(dataFile, recoveryFile, /*move=*/true);
    return RecoveryOutcome::Damaged;
}

// A pending copy is still written: it may be all that is left.
CRecoveryWriter::~CRecoveryWriter() { Flush(); }

void CRecoveryWriter::Submit(fs::path file, std::string bytes) {
    bool start = false;
    {
        std::lock_guard lock(m_mutex);
        m_file = std::move(file);
        m_bytes = std::move(bytes);
        m_bPending = true;
        // A job that was cancelled before it began writes nothing.
        start = !m_bWriting || m_job->Finished();
        m_bWriting = true;
    }
    // A job runs while copies are pending: a session without changes never needs one.
    if (start) m_job = m_jobs.Start([this](CJobToken&) { WritePending(); });
}

void CRecoveryWriter::Flush() {
    if (m_job) m_job->Wait();
    // What a job cancelled before it began left behind.
    WritePending();
}

void CRecoveryWriter::Discard(const fs::path& file) {
    Flush();
    std::error_code ec;
    if (ReadOwnPalFile(file) == OwnFile::Ours) fs::remove(file, ec);
}

void CRecoveryWriter::WritePending() {
    std::unique_lock lock(m_mutex);
    while (m_bPending) {
        const fs::path file = std::move(m_file);
        const std::string bytes = std::move(m_bytes);
        m_bPending = false;
        lock.unlock();
        WriteRecoveryFile(file, bytes);
        lock.lock();
    }
    m_bWriting = false;
}
