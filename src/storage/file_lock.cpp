#include "storage/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "storage/atomic_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::milliseconds kRetryInterval{25};

// An absolute, lexically normal form, so that two spellings of one file meet.
fs::path Normal(const fs::path& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    return (ec ? path : full).lexically_normal();
}

bool TryLock(int fd) {
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
}

}  // namespace

CFileLock::CFileLock(CFileLock&& other) noexcept : m_fd(other.m_fd), m_lockFile(std::move(other.m_lockFile)) {
    other.m_fd = -1;
}

CFileLock& CFileLock::operator=(CFileLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = other.m_fd;
        m_lockFile = std::move(other.m_lockFile);
        other.m_fd = -1;
    }
    return *this;
}

fs::path CFileLock::LockFileFor(const fs::path& path) {
    fs::path target = ResolveLinks(Normal(path));
    if (target.empty()) target = Normal(path);
    target = Normal(target);
    const std::string name = target.filename().string();
    return target.parent_path() / ("." + name + ".lock");
}

bool CFileLock::Covers(const fs::path& path) const { return IsHeld() && m_lockFile == LockFileFor(path); }

CFileLock::Result CFileLock::Acquire(const fs::path& path, std::chrono::milliseconds wait) {
    // A folder, or no name at all, is no data file to lock.
    if (path.empty() || !path.has_filename()) return Result::NoLockFile;
    const fs::path lockFile = LockFileFor(path);
    if (Covers(path)) return Result::Locked;
    // The lock file stays after use: removing it would race with a process about to lock it.
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) return Result::NoLockFile;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!TryLock(fd)) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return busy ? Result::Busy : Result::NoLockFile;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    Release();
    m_fd = fd;
    m_lockFile = lockFile;
    return Result::Locked;
}

void CFileLock::Release() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_lockFile.clear();
}
