// Reading a file that the user or another file named: only a regular file, opened
// without blocking (a FIFO or a device never hangs the program), and never more bytes
// than a cap that fits the file's kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Caps by kind. A pal data file holds at most 500 records; even with long mail texts
// one stays far below its cap.
inline constexpr std::size_t kPalDataFileCap = std::size_t{256} << 20;
inline constexpr std::size_t kAddressBookFileCap = std::size_t{64} << 20;
inline constexpr std::size_t kMailFileCap = std::size_t{64} << 20;

struct FileReadResult {
    enum class Status {
        Read,        // `bytes` holds the file (or the head asked for)
        Missing,     // no file at the path (or it vanished before it was opened)
        NotRegular,  // a directory, FIFO, device or socket
        TooLarge,    // larger than the cap; nothing was read
        Failed,      // opening or reading failed; `error` holds errno
    };
    Status status = Status::Read;
    std::string bytes;
    int error = 0;

    bool Ok() const { return status == Status::Read; }
};

// A file descriptor that closes itself.
class CFileDescriptor {
public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() { Reset(); }
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept;
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    int Release();
    void Reset(int fd = -1);

private:
    int m_fd = -1;
};

// Follow: a symbolic link at the path is followed, as for any file the user names. Refuse:
// a link is not opened (NotRegular), for files in folders that only Yubino writes.
enum class Links { Follow, Refuse };

// Opens a regular file for reading. `status` and `error` tell why not; `size` is its size.
struct OpenedFile {
    CFileDescriptor fd;
    FileReadResult::Status status = FileReadResult::Status::Read;
    int error = 0;
    std::size_t size = 0;
    std::int64_t modified = 0;  // seconds since the epoch
};
OpenedFile OpenRegularFile(const std::filesystem::path& path, Links links = Links::Follow);

// The bytes of a file ReadRegularFile reads; nothing when it could not.
std::optional<std::string> ReadRegularFileBytes(const std::filesystem::path& path, std::size_t cap);

// Something other than a regular file is at the path (a device, a FIFO, a folder).
bool IsSpecialFile(const std::filesystem::path& path);

// The whole file, refused (TooLarge) when it holds more than `cap` bytes.
FileReadResult ReadRegularFile(const std::filesystem::path& path, std::size_t cap, Links links = Links::Follow);
// At most the first `count` bytes, however large the file is.
FileReadResult ReadFileHead(const std::filesystem::path& path, std::size_t count);

// Why a read failed, in Japanese (UTF-8), for a message naming the file; "" when it was read.
std::string FileReadProblem(const FileReadResult& result, std::size_t cap = 0);

// A path inside a message: code page 932 where it converts, its own bytes otherwise.
std::string PathText(const std::filesystem::path& path);
// A message (code page 932) from a text of the table with one "%s" for the path, and the
// reason (UTF-8) in brackets on a line of its own when there is one.
std::string FileProblemMessage(const char* utf8Template, const std::filesystem::path& path,
                               const std::string& reasonUtf8);
