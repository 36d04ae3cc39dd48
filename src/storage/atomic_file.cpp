#include "storage/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>

#include "core/texts.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTempTag = ".yubino-tmp.";
constexpr int kMaxLinkHops = 40;

WriteResult Failure(int error) { return {false, WriteErrorText(error), error}; }

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Keeps the permission bits of the file being replaced; a new file gets the usual ones.
mode_t ModeFor(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// ".<name>.yubino-tmp.": hidden, and the same for every write of one file.
std::string TempPrefix(const fs::path& target) {
    std::string prefix = "." + target.filename().native();
    prefix += kTempTag;
    return prefix;
}

// The process that made a temporary file of `prefix`, or 0 when the name is not one.
pid_t OwnerOf(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return 0;
    name.remove_prefix(prefix.size());
    pid_t pid = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || end == name.data() || *end != '.') return 0;
    return pid;
}

bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// The rename is durable only once the folder itself is flushed.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

fs::path ResolveLinks(const fs::path& path) {
    fs::path current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
        const fs::path target = fs::read_symlink(current, ec);
        if (ec) return current;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return {};
}

void RemoveStaleTemporaries(const fs::path& path) {
    const fs::path target = ResolveLinks(path);
    if (target.empty()) return;
    const std::string prefix = TempPrefix(target);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const pid_t owner = OwnerOf(name, prefix);
        if (owner > 0 && !IsRunning(owner)) ::unlink(it->path().c_str());
    }
}

namespace {

WriteResult ReplaceFile(const fs::path& target, std::string_view content, mode_t mode) {
    const std::string pattern =
        (target.parent_path() / (TempPrefix(target) + std::to_string(::getpid()) + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Failure(errno);
    const std::string tempPath(name.data());
    ::fchmod(fd, mode);
    bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(tempPath.c_str(), target.c_str()) == 0) {
        SyncFolder(target.parent_path());
        return {true, {}, 0};
    }
    if (written) error = errno;
    ::unlink(tempPath.c_str());
    return Failure(error);
}

}  // namespace

WriteResult WriteFileAtomically(const fs::path& path, std::string_view content) {
    const fs::path target = ResolveLinks(path);
    if (target.empty()) return Failure(ELOOP);
    return ReplaceFile(target, content, ModeFor(target));
}

WriteResult WritePrivateFileAtomically(const fs::path& path, std::string_view content) {
    return ReplaceFile(path, content, 0600);
}

namespace {

bool MakeMissingFolders(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::exists(fs::symlink_status(folder, ec))) return true;
    if (!MakeMissingFolders(folder.parent_path())) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

bool MakePrivateFolder(const fs::path& folder) {
    if (folder.empty() || !MakeMissingFolders(folder)) return false;
    // Closed to others only when it is a real folder: a link is not followed to chmod.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 077) != 0)
        ::chmod(folder.c_str(), 0700);
    std::error_code ec;
    return fs::is_directory(folder, ec);
}

std::string WriteErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
        case EDQUOT:
            return texts::kWriteDiskFull;
        case EACCES:
        case EPERM:
            return texts::kWriteNoPermission;
        case EROFS:
            return texts::kWriteReadOnlyFileSystem;
        case ENOENT:
        case ENOTDIR:
            return texts::kWriteFolderGone;
        case ELOOP:
            return texts::kFileLinkLoop;
        default:
            return std::strerror(errorNumber);
    }
}

bool IsWritableDirectory(const fs::path& dir) {
    // Trying is the only true test: permissions, read-only mounts and root's rights all count.
    std::string pattern = (dir / ".yubino-write-test.XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(name.data());
    return true;
}
