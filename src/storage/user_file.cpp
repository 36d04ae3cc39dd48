#include "storage/user_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

UserFileStatus ReadUserFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return UserFileStatus::CannotOpen;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return UserFileStatus::CannotOpen;
    if (!S_ISREG(info.st_mode)) return UserFileStatus::NotRegular;
    if (static_cast<std::size_t>(info.st_size) > maxBytes) return UserFileStatus::TooLarge;
    std::string data(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    // Read one byte beyond the size seen, to notice a file that grew past the cap meanwhile.
    while (true) {
        if (filled == data.size()) {
            if (data.size() >= maxBytes + 1) return UserFileStatus::TooLarge;
            data.resize(std::min(maxBytes + 1, data.size() + 65536));
        }
        const ssize_t n = ::read(fd.get(), data.data() + filled, data.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return UserFileStatus::CannotOpen;
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxBytes) return UserFileStatus::TooLarge;
    data.resize(filled);
    bytes = std::move(data);
    return UserFileStatus::Read;
}
