#include "storage/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

WriteResult Failure(int error) { return {false, std::strerror(error)}; }

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
mode_t ModeFor(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view content) {
    std::string pattern = path.string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return Failure(errno);
    const std::string tempPath(name.data());
    ::fchmod(fd, ModeFor(path));
    bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(tempPath.c_str(), path.c_str()) == 0) return {true, {}};
    if (written) error = errno;
    ::unlink(tempPath.c_str());
    return Failure(error);
}

bool IsWritableDirectory(const std::filesystem::path& dir) {
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
