#include "storage/yubino_doc.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace fs = std::filesystem;

namespace {

enum class FileRead { Read, Foreign, Failed, Missing };

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Appends up to `count` bytes, fewer at the end of the file; false on a read error.
bool ReadInto(int fd, std::string& bytes, std::size_t count) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    while (count > 0) {
        const std::size_t old = bytes.size();
        const std::size_t want = std::min(count, kChunk);
        bytes.resize(old + want);
        ssize_t n;
        do n = ::read(fd, bytes.data() + old, want);
        while (n < 0 && errno == EINTR);
        bytes.resize(old + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n <= 0) return n == 0;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads a file. With `palDataOnly`, a file that does not begin like a pal data file is not
// read past its head, however large it is.
FileRead ReadFileBytes(const fs::path& path, std::string& bytes, bool palDataOnly) {
    bytes.clear();
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return FileRead::Failed;
    if (S_ISREG(st.st_mode)) bytes.reserve(static_cast<std::size_t>(st.st_size));
    if (!ReadInto(fd.get(), bytes, kPalDataMagic.size())) return FileRead::Failed;
    if (palDataOnly && !CouldBePalData(bytes)) return FileRead::Foreign;
    return ReadInto(fd.get(), bytes, std::string::npos) ? FileRead::Read : FileRead::Failed;
}

// A path in a message: code page 932 where it converts, its own bytes otherwise.
std::string PathText(const fs::path& path) { return cp932::FromUtf8(path.string()).value_or(path.string()); }

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

}  // namespace

CYubinoDoc::OpenResult CYubinoDoc::OnOpenDocument(const fs::path& path, bool forWriting) {
    CUserInterface& ui = m_app.UI();
    OpenResult result;
    std::string bytes;
    switch (ReadFileBytes(path, bytes, /*palDataOnly=*/true)) {
        case FileRead::Foreign:
            ui.ShowMessage(FormatText(texts::kPalFileForeign, PathText(path)), MessageKind::Warning);
            result.status = OpenStatus::Refused;
            result.read.status = PalDataReadResult::Status::Foreign;
            return result;
        case FileRead::Failed:
        case FileRead::Missing:
            ui.ShowMessage(FormatText(texts::kPalFileUnreadable, PathText(path)), MessageKind::Warning);
            result.status = OpenStatus::CannotOpen;
            return result;
        case FileRead::Read:
            break;
    }
    result.read = ReadPalData(m_app, bytes);
    if (result.read.status == PalDataReadResult::Status::TooShort) result.status = OpenStatus::KeptTable;

    const fs::path fullPath = FullPath(path);
    m_app.UpdateListView();
    SetPathName(fullPath);
    m_app.UpdateMapView();

    m_lock.Release();
    m_bReadOnly = forWriting && m_lock.Acquire(fullPath) == CFileLock::Result::Busy;
    if (m_bReadOnly) ui.ShowMessage(FormatText(texts::kPalFileInUse, PathText(fullPath)), MessageKind::Warning);

    if (result.read.LostData()) {
        m_pendingBackup = fullPath;
        ui.ShowMessage(FormatText(texts::kPalFileDamaged, PathText(fullPath)) +
                           (forWriting ? Cp932Text(texts::kPalFileDamagedBackup) : std::string()),
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

bool CYubinoDoc::BackUpBeforeFirstOverwrite(const fs::path& target) {
    if (!SameFile(target, m_pendingBackup)) return true;
    std::string original;
    switch (ReadFileBytes(target, original, /*palDataOnly=*/false)) {
        case FileRead::Missing:
            break;  // nothing left to lose
        case FileRead::Failed:
        case FileRead::Foreign:
            return false;
        case FileRead::Read:
            if (!WriteFileAtomically(target.string() + ".bak", original).ok) return false;
    }
    m_pendingBackup.clear();
    return true;
}

bool CYubinoDoc::InUseElsewhere(const fs::path& target) const {
    if (m_lock.IsHeld() && SameFile(target, m_path)) return false;
    CFileLock probe;
    return probe.Acquire(target) == CFileLock::Result::Busy;
}

WriteResult CYubinoDoc::OnSaveDocument(const fs::path& path) {
    const fs::path target = FullPath(path);
    if (InUseElsewhere(target)) {
        m_app.UI().ShowMessage(FormatText(texts::kPalFileInUseNotSaved, PathText(target)), MessageKind::Warning);
        return {false, "the file is in use by another process"};
    }
    m_backups.BeforeReplace(target, m_app.UI());
    WriteResult result{false, "the original could not be kept as a backup"};
    if (BackUpBeforeFirstOverwrite(target)) result = WriteFileAtomically(target, WritePalData(m_app));
    if (!result.ok) {
        m_app.UI().ShowMessage(FormatText(texts::kPalFileNotSaved, PathText(target)), MessageKind::Warning);
        return result;
    }
    SetPathName(target);
    // The save put a new file at the path; the lock moves to it.
    m_lock.Acquire(target);
    m_bReadOnly = false;
    return result;
}
