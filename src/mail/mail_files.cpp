#include "mail/mail_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "core/cp932.h"
#include "core/file_read.h"
#include "core/texts.h"
#include "mail/gmime_message_reader.h"
#include "mail/mail_text_parser.h"

namespace fs = std::filesystem;

namespace {

// Enough of a file to tell what it is: an mbox "From " line, a header block, or the
// Japanese sender line.
constexpr std::size_t kHeadBytes = 64 << 10;

// A regular file opened for reading without blocking: a FIFO or a device named by the
// user must not hang the reading.
class CMailFile {
public:
    explicit CMailFile(const fs::path& path) {
        OpenedFile file = OpenRegularFile(path);
        if (!file.fd.IsOpen()) {
            m_error = file.status == FileReadResult::Status::NotRegular ? texts::kMailFileNotRegular
                                                                        : texts::kMailFileUnreadable;
            return;
        }
        m_size = file.size;
        m_mtime = file.modified;
        m_fd = file.fd.Release();
    }
    ~CMailFile() { Close(); }
    CMailFile(const CMailFile&) = delete;
    CMailFile& operator=(const CMailFile&) = delete;

    const char* Error() const { return m_error; }
    std::uint64_t Size() const { return m_size; }
    std::int64_t ModificationTime() const { return m_mtime; }

    // Up to `limit` bytes from the start; false on a read error.
    bool Read(std::size_t limit, std::string& bytes) const {
        bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(limit, m_size)));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pread(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        bytes.resize(done);
        return true;
    }

    // Hands the descriptor over (to a GMime stream, which closes it).
    int Release() { return std::exchange(m_fd, -1); }

private:
    void Close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    int m_fd = -1;
    const char* m_error = nullptr;
    std::uint64_t m_size = 0;
    std::int64_t m_mtime = 0;
};

std::string MessageFailure(int number, MailReadStatus status) {
    std::string text = texts::kMailboxMessageFailed;
    text.replace(text.find("%d"), 2, std::to_string(number));
    return text + MailReadFailureMessage(status);
}

// What moves on when a file is written, truncated or has its time set back: a write or a
// rename in place under the reader shows in one of them.
struct FileState {
    off_t size = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;   // nanoseconds of the inode's change, which no program can set
    bool operator==(const FileState&) const = default;
};

std::optional<FileState> StateOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return FileState{st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

// Passes over an mbox that a mail program keeps rewriting before the reading gives up.
constexpr int kMboxReadAttempts = 3;

enum class MboxPass { Done, Stopped, Changed };

// What the passes over one mbox share: the mails handed on, the failures told (by number)
// and the progress reported, so that a pass read again repeats nothing. A mail handed on is
// kept as a hash of its Message-ID, eight bytes, so that a mailbox of a million mails costs
// a few megabytes; within one pass every mail goes on, and the intake tells twins apart.
struct MboxReading {
    std::vector<std::uint64_t> earlierPasses;  // sorted
    std::vector<std::uint64_t> thisPass;
    std::set<int> failed;
    gint64 reported = 0;

    static std::uint64_t Key(const std::string& messageId) { return std::hash<std::string>{}(messageId); }
    bool HandedOnBefore(const std::string& messageId) const {
        return std::binary_search(earlierPasses.begin(), earlierPasses.end(), Key(messageId));
    }
    void HandedOn(const std::string& messageId) { thisPass.push_back(Key(messageId)); }
    void StartPass() {
        earlierPasses.insert(earlierPasses.end(), thisPass.begin(), thisPass.end());
        thisPass.clear();
        std::sort(earlierPasses.begin(), earlierPasses.end());
    }
};

// One pass from the start. A mail is handed on only while the file is as it was when the
// pass began: a mail read from a file that a mail program is compacting can be torn
// between two mails (one mail's headers as another's body), so it is never stored.
MboxPass ReadMboxPass(const fs::path& path, CMailFile& file, CMailSink& sink, MboxReading& reading) {
    reading.StartPass();
    const std::int64_t mtime = file.ModificationTime();
    const int fd = file.Release();
    CGObject<GMimeStream> stream(g_mime_stream_fs_new(fd));
    const std::optional<FileState> start = StateOf(fd);
    CGObject<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MBOX);
    GMimeParserOptions* options = MailParserOptions();
    for (int number = 1; !g_mime_parser_eos(parser.get()); ++number) {
        CGObject<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), options));
        if (StateOf(fd) != start) return MboxPass::Changed;
        if (!message) break;
        const MailReadResult read =
            ReadGMimeMessage(message.get(), MessageContext{mtime, true, g_mime_parser_eos(parser.get()) != 0});
        if (!read.Ok()) {
            if (reading.failed.insert(number).second) sink.Failed(path, MessageFailure(number, read.status));
        } else if (!reading.HandedOnBefore(read.mail.messageId)) {
            reading.HandedOn(read.mail.messageId);
            if (!sink.TakeMail(read.mail)) return MboxPass::Stopped;
        }
        const gint64 at = g_mime_parser_tell(parser.get());
        if (at > reading.reported && !sink.Progress(static_cast<std::uint64_t>(at - reading.reported)))
            return MboxPass::Stopped;
        reading.reported = std::max(reading.reported, at);
    }
    return MboxPass::Done;
}

// Every message of an mbox, one at a time: GMime's parser over the file, never the
// whole file in memory. A file that changes under the reading is read again from its
// start (it may have been replaced meanwhile); one that keeps changing is given up, told.
bool ReadMbox(const fs::path& path, CMailFile& first, CMailSink& sink) {
    MboxReading reading;
    std::optional<CMailFile> again;
    CMailFile* file = &first;
    for (int attempt = 1;; ++attempt) {
        switch (ReadMboxPass(path, *file, sink, reading)) {
            case MboxPass::Done:
                return true;
            case MboxPass::Stopped:
                return false;
            case MboxPass::Changed:
                break;
        }
        if (attempt == kMboxReadAttempts) {
            sink.Failed(path, texts::kMailboxKeptChanging);
            return true;
        }
        file = &again.emplace(path);
        if (file->Error()) {
            sink.Failed(path, file->Error());
            return true;
        }
    }
}

bool ReadWholeFile(const fs::path& path, const CMailFile& file, std::uint64_t cap, std::string& bytes,
                   CMailSink& sink) {
    if (file.Size() > cap) {
        sink.Failed(path, texts::kMailFileTooLarge);
        return false;
    }
    if (!file.Read(static_cast<std::size_t>(cap), bytes)) {
        sink.Failed(path, texts::kMailFileUnreadable);
        return false;
    }
    return true;
}

bool ReadMailFile(const fs::path& path, CMailSink& sink) {
    CMailFile file(path);
    if (file.Error()) {
        sink.Failed(path, file.Error());
        return true;
    }
    std::string bytes;
    if (!file.Read(kHeadBytes, bytes)) {
        sink.Failed(path, texts::kMailFileUnreadable);
        return true;
    }
    if (bytes.starts_with("From ")) return ReadMbox(path, file, sink);

    if (LooksLikeInternetMessage(bytes)) {
        if (!ReadWholeFile(path, file, kMaxMessageFileBytes, bytes, sink)) return true;
        const MailReadResult read = ReadInternetMessage(bytes, file.ModificationTime());
        if (!read.Ok()) {
            sink.Failed(path, MailReadFailureMessage(read.status));
            return true;
        }
        return sink.TakeMail(read.mail) && sink.Progress(file.Size());
    }
    if (cp932::Find(bytes, Cp932Text(texts::kSenderKeyword)) != std::string::npos) {
        if (!ReadWholeFile(path, file, kMaxMailTextBytes, bytes, sink)) return true;
        const MailParseResult parsed = ParseMailText(bytes);
        if (!parsed.Ok()) {
            sink.Failed(path, MailParseFailureMessage(parsed.failure));
            return true;
        }
        ParsedMail mail;
        mail.pal = parsed.mail;
        mail.dateSource = MailDateSource::kDateLine;
        return sink.TakeMail(mail) && sink.Progress(file.Size());
    }
    sink.Failed(path, texts::kMailFileNotMail);
    return true;
}

// The message files of a Maildir: cur/ and new/, in name order; tmp/ holds mail still
// being delivered, and names starting with a dot are no messages.
std::vector<fs::path> MaildirFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const char* sub : {"cur", "new"}) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / sub, error)) {
            if (!entry.path().filename().string().starts_with('.')) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool IsMaildir(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder / "cur", error) || fs::is_directory(folder / "new", error);
}

}  // namespace

bool ReadRegularFile(const fs::path& path, std::uint64_t cap, std::string& bytes, std::string& reason) {
    CMailFile file(path);
    const char* error = file.Error();
    if (!error && file.Size() > cap) error = texts::kMailFileTooLarge;
    if (!error && !file.Read(static_cast<std::size_t>(cap), bytes)) error = texts::kMailFileUnreadable;
    if (error) reason = error;
    return !error;
}

bool ReadMailPath(const fs::path& path, CMailSink& sink) {
    std::error_code error;
    if (!fs::is_directory(path, error)) return ReadMailFile(path, sink);
    if (!IsMaildir(path)) {
        sink.Failed(path, texts::kMailFileNotMail);
        return true;
    }
    for (const fs::path& file : MaildirFiles(path)) {
        if (!ReadMailFile(file, sink)) return false;
    }
    return true;
}

std::uint64_t MailPathBytes(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        const auto size = fs::file_size(path, error);
        return error ? 0 : size;
    }
    std::uint64_t total = 0;
    for (const fs::path& file : MaildirFiles(path)) {
        const auto size = fs::file_size(file, error);
        if (!error) total += size;
    }
    return total;
}
