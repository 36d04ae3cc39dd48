#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/cp932.h"
#include "core/texts.h"

namespace fs = std::filesystem;
using Status = FileReadResult::Status;

CFileDescriptor& CFileDescriptor::operator=(CFileDescriptor&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
}

int CFileDescriptor::Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void CFileDescriptor::Reset(int fd) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
}

OpenedFile OpenRegularFile(const fs::path& path, Links links) {
    OpenedFile file;
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait forever.
    const int noFollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    file.fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | noFollow));
    if (!file.fd.IsOpen()) {
        file.error = errno;
        const bool refusedLink = noFollow && errno == ELOOP;
        file.status = errno == ENOENT                 ? Status::Missing
                      : errno == ENXIO || refusedLink ? Status::NotRegular
                                                      : Status::Failed;
        return file;
    }
    // The check is made on what was opened, so a file swapped after a look at the path
    // cannot slip through.
    struct stat st {};
    if (::fstat(file.fd.Get(), &st) != 0) {
        file.error = errno;
        file.status = Status::Failed;
    } else if (!S_ISREG(st.st_mode)) {
        file.status = Status::NotRegular;
    } else {
        file.size = static_cast<std::size_t>(st.st_size);
        file.modified = static_cast<std::int64_t>(st.st_mtime);
        const int flags = ::fcntl(file.fd.Get(), F_GETFL);
        if (flags >= 0) ::fcntl(file.fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
        return file;
    }
    file.fd.Reset();
    return file;
}

bool IsSpecialFile(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && !fs::is_regular_file(status);
}

namespace {

// Appends up to `count` bytes, fewer at the end of the file; false on a read error. The
// room reserved beforehand is filled first, so that a small file costs no megabyte of
// zeroed buffer; a file that grows past it is read on in larger steps.
bool ReadInto(int fd, std::string& bytes, std::size_t count, int& error) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    while (count > 0) {
        const std::size_t old = bytes.size();
        const std::size_t room = bytes.capacity() - old;
        const std::size_t want = std::min(count, room > 0 ? room : kChunk);
        bytes.resize(old + want);
        ssize_t n;
        do n = ::read(fd, bytes.data() + old, want);
        while (n < 0 && errno == EINTR);
        bytes.resize(old + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0) error = errno;
        if (n <= 0) return n == 0;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

FileReadResult Read(const fs::path& path, std::size_t cap, bool refuseLarger, Links links = Links::Follow) {
    FileReadResult result;
    OpenedFile file = OpenRegularFile(path, links);
    result.status = file.status;
    result.error = file.error;
    if (!file.fd.IsOpen()) return result;
    if (refuseLarger && file.size > cap) {
        result.status = Status::TooLarge;
        return result;
    }
    // The file's size and one byte more, which finds the end without another buffer.
    result.bytes.reserve(std::min(file.size, cap) + 1);
    // One byte past the cap tells a file that grew while it was read.
    const std::size_t limit = refuseLarger ? cap + 1 : cap;
    if (!ReadInto(file.fd.Get(), result.bytes, limit, result.error)) {
        result.status = Status::Failed;
        result.bytes.clear();
    } else if (refuseLarger && result.bytes.size() > cap) {
        result.status = Status::TooLarge;
        result.bytes.clear();
    }
    return result;
}

std::string MegabytesText(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

FileReadResult ReadRegularFile(const fs::path& path, std::size_t cap, Links links) {
    return Read(path, cap, true, links);
}

std::optional<std::string> ReadRegularFileBytes(const fs::path& path, std::size_t cap) {
    FileReadResult file = ReadRegularFile(path, cap);
    if (!file.Ok()) return std::nullopt;
    return std::move(file.bytes);
}

FileReadResult ReadFileHead(const fs::path& path, std::size_t count) { return Read(path, count, false); }

std::string FileReadProblem(const FileReadResult& result, std::size_t cap) {
    switch (result.status) {
        case Status::Read:
            return {};
        case Status::Missing:
            return texts::kFileMissing;
        case Status::NotRegular:
            return texts::kFileNotRegular;
        case Status::TooLarge: {
            std::string text = texts::kFileTooLarge;
            return text.replace(text.find("%s"), 2, MegabytesText(cap));
        }
        case Status::Failed:
            break;
    }
    switch (result.error) {
        case EACCES:
        case EPERM:
            return texts::kFileNoPermission;
        case ELOOP:
            return texts::kFileLinkLoop;
        default:
            return std::strerror(result.error);
    }
}

std::string PathText(const fs::path& path) { return cp932::FromUtf8(path.string()).value_or(path.string()); }

std::string FileProblemMessage(const char* utf8Template, const fs::path& path, const std::string& reasonUtf8) {
    std::string text = FormatText(utf8Template, PathText(path));
    if (!reasonUtf8.empty()) text += Cp932Text("\r\n（" + reasonUtf8 + "）");
    return text;
}
