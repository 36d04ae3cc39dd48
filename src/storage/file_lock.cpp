#include "storage/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

CFileLock::Result CFileLock::Acquire(const std::filesystem::path& path) {
    // Saving replaces the file by renaming, so the lock is taken on the file now at the
    // path, even when this process held the one it replaced.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Result::NoFile;
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::Busy : Result::NoFile;
    }
    Release();
    m_fd = fd;
    return Result::Locked;
}

void CFileLock::Release() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}
