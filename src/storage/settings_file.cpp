#include "storage/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/file_read.h"

namespace {

// A path is far shorter; a longer first line is no path and is not read on.
constexpr std::size_t kMaxLine = 64 * 1024;

}  // namespace

bool CreateFileIfMissing(const std::filesystem::path& path) {
    // O_NONBLOCK: a FIFO at the path must not hang the start.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

std::optional<std::string> ReadSettingsFile(const std::filesystem::path& settingsFile) {
    const FileReadResult file = ReadFileHead(settingsFile, kMaxLine + 2);
    if (file.status == FileReadResult::Status::Missing) {
        if (!CreateFileIfMissing(settingsFile)) return std::nullopt;
        return std::string();
    }
    if (!file.Ok()) return std::nullopt;
    std::string line = file.bytes.substr(0, file.bytes.find('\n'));
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A text line ends at a NUL byte, as the C library reads it.
    if (auto nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
    return line;
}

WriteResult WriteSettingsFile(const std::filesystem::path& settingsFile, const std::string& dataFile) {
    return WriteFileAtomically(settingsFile, dataFile);
}
