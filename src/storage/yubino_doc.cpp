#include "storage/yubino_doc.h"

#include <functional>
#include <string_view>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "core/file_read.h"

namespace fs = std::filesystem;

namespace {

// The full path, or the path as given when it has none (an empty one).
fs::path FullPath(const fs::path& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    return ec ? path : full;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && fs::equivalent(a, b, ec);
}

std::size_t ImageHash(std::string_view image) { return std::hash<std::string_view>{}(image); }

}  // namespace

CYubinoDoc::OpenResult CYubinoDoc::OnOpenDocument(const fs::path& path, OpenMode mode) {
    CUserInterface& ui = m_app.UI();
    OpenResult result;
    const fs::path fullPath = FullPath(path);

    // The lock comes before the first read: what another writer saves in between is then
    // either in what is read, or that writer is still at work and this session waits or
    // stays read-only.
    CFileLock lock;
    bool readOnly = false;
    // A device or FIFO is refused by the read below; no lock file is made beside it.
    if (IsSpecialFile(fullPath)) mode = OpenMode::Read;
    if (mode != OpenMode::Read && !m_lock.Covers(fullPath) &&
        lock.Acquire(fullPath, m_lockWait) == CFileLock::Result::Busy) {
        if (mode == OpenMode::Exclusive) {
            ui.ShowMessage(FormatText(texts::kPalFileBusy, PathText(fullPath)), MessageKind::Warning);
            result.status = OpenStatus::Busy;
            return result;
        }
        readOnly = true;
    }
    if (lock.IsHeld() || m_lock.Covers(fullPath)) RemoveStaleTemporaries(fullPath);

    const FileReadResult file = ReadRegularFile(fullPath, kPalDataFileCap);
    if (!file.Ok()) {
        ui.ShowMessage(FileProblemMessage(texts::kPalFileUnreadable, fullPath, FileReadProblem(file, kPalDataFileCap)),
                       MessageKind::Warning);
        result.status = OpenStatus::CannotOpen;
        return result;
    }
    if (!CouldBePalData(file.bytes)) {
        ui.ShowMessage(FormatText(texts::kPalFileForeign, PathText(fullPath)), MessageKind::Warning);
        result.status = OpenStatus::Refused;
        result.read.status = PalDataReadResult::Status::Foreign;
        return result;
    }
    result.read = ReadPalData(m_app, file.bytes);
    if (result.read.status == PalDataReadResult::Status::TooShort) result.status = OpenStatus::KeptTable;

    m_app.UpdateListView();
    SetPathName(fullPath);
    m_app.UpdateMapView();

    if (lock.IsHeld())
        m_lock = std::move(lock);
    else if (!m_lock.Covers(fullPath))
        m_lock.Release();
    m_bReadOnly = readOnly;
    if (m_bReadOnly) ui.ShowMessage(FormatText(texts::kPalFileInUse, PathText(fullPath)), MessageKind::Warning);
    MarkClean(WritePalData(m_app));

    if (result.read.LostData()) {
        m_pendingBackup = fullPath;
        ui.ShowMessage(FormatText(texts::kPalFileDamaged, PathText(fullPath)) +
                           (mode != OpenMode::Read ? Cp932Text(texts::kPalFileDamagedBackup) : std::string()),
                       MessageKind::Warning);
    } else if (SameFile(fullPath, m_pendingBackup)) {
        m_pendingBackup.clear();
    }
    return result;
}

void CYubinoDoc::SetPathName(const fs::path& path) {
    m_path = path;
    m_app.m_dataFolder = path.parent_path();
}

bool CYubinoDoc::IsModified() const { return ImageHash(WritePalData(m_app)) != m_cleanImage; }

void CYubinoDoc::MarkClean(const std::string& image) { m_cleanImage = ImageHash(image); }

bool CYubinoDoc::IsOwnFile(const fs::path& target) const { return target == m_path || SameFile(target, m_path); }

bool CYubinoDoc::BackUpBeforeFirstOverwrite(const fs::path& target) {
    if (!SameFile(target, m_pendingBackup)) return true;
    const FileReadResult original = ReadRegularFile(target, kPalDataFileCap);
    if (original.status == FileReadResult::Status::Missing) {
        // nothing left to lose
    } else if (!original.Ok() || !WriteFileAtomically(target.string() + ".bak", original.bytes).ok) {
        return false;
    }
    m_pendingBackup.clear();
    return true;
}

WriteResult CYubinoDoc::RefuseSave(const char* message, const fs::path& target, const std::string& reason) {
    m_app.UI().ShowMessage(FileProblemMessage(message, target, reason), MessageKind::Warning);
    return {false, reason, 0};
}

WriteResult CYubinoDoc::OnSaveDocument(const fs::path& path) {
    const fs::path target = FullPath(path);
    // The flag, not a look at who holds the lock now: the holder may be gone, and what it
    // saved would still be lost under this session's older table.
    if (m_bReadOnly && IsOwnFile(target)) return RefuseSave(texts::kPalFileReadOnlyNotSaved, target, {});
    CFileLock lock;
    if (!m_lock.Covers(target) && lock.Acquire(target, m_lockWait) == CFileLock::Result::Busy)
        return RefuseSave(texts::kPalFileInUseNotSaved, target, {});
    RemoveStaleTemporaries(target);

    m_backups.BeforeReplace(target, m_app.UI());
    if (!BackUpBeforeFirstOverwrite(target)) return RefuseSave(texts::kPalFileNotSaved, target, texts::kBackupFailed);
    const std::string image = WritePalData(m_app);
    WriteResult result = WriteFileAtomically(target, image);
    if (!result.ok) {
        RefuseSave(texts::kPalFileNotSaved, target, result.error);
        return result;
    }
    SetPathName(target);
    if (lock.IsHeld())
        m_lock = std::move(lock);
    else if (!m_lock.Covers(target))
        m_lock.Release();
    m_bReadOnly = false;
    MarkClean(image);
    return result;
}
