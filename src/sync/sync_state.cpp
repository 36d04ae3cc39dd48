#include "sync/sync_state.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <sstream>

#include "core/file_read.h"
#include "storage/atomic_file.h"

namespace {

constexpr std::size_t kMaxStateFileBytes = 16 * 1024 * 1024;
constexpr std::size_t kStaleLinesBeforeRewrite = 1000;

std::string Line(const std::string& account, const std::string& folder, const SyncPoint& p) {
    return account + '\t' + folder + '\t' + std::to_string(p.uidValidity) + '\t' + std::to_string(p.lastUid) + '\n';
}

bool ParseNumber(std::string_view text, std::uint32_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Names never hold tabs or line ends; a name that does is kept out of the file.
bool Storable(const std::string& name) { return name.find_first_of("\t\r\n") == std::string::npos; }

}  // namespace

std::filesystem::path SyncStateFileFor(const std::filesystem::path& dataFile) {
    std::filesystem::path state = dataFile;
    state.replace_extension(".mailcheck.tsv");
    return state;
}

CSyncStateFile::CSyncStateFile(std::filesystem::path file) : m_file(std::move(file)) { ReadFile(); }

CSyncStateFile::~CSyncStateFile() {
    if (m_fd >= 0) ::close(m_fd);
}

void CSyncStateFile::ReadFile() {
    const int fd = ::open(m_file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    std::string bytes;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0 && bytes.size() < kMaxStateFileBytes;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    // A last line without its line end was cut by a kill: not read, and ended before appending.
    m_cutLine = !bytes.empty() && bytes.back() != '\n';
    bytes.erase(bytes.find_last_of('\n') == std::string::npos ? 0 : bytes.find_last_of('\n') + 1);
    std::size_t lines = 0;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        ++lines;
        const std::size_t t1 = line.find('\t');
        const std::size_t t2 = line.find('\t', t1 + 1);
        const std::size_t t3 = line.find('\t', t2 + 1);
        if (t1 == std::string::npos || t2 == std::string::npos || t3 == std::string::npos) continue;
        SyncPoint p;
        if (!ParseNumber(std::string_view(line).substr(t2 + 1, t3 - t2 - 1), p.uidValidity) ||
            !ParseNumber(std::string_view(line).substr(t3 + 1), p.lastUid))
            continue;  // a line cut short by a kill
        m_points[{line.substr(0, t1), line.substr(t1 + 1, t2 - t1 - 1)}] = p;
    }
    if (lines > m_points.size() + kStaleLinesBeforeRewrite) {
        std::string compact;
        for (const auto& [key, p] : m_points) compact += Line(key.first, key.second, p);
        if (WriteFileAtomically(m_file, compact).ok) m_cutLine = false;
    }
}

std::optional<SyncPoint> CSyncStateFile::Load(const std::string& account, const std::string& folder) {
    const auto it = m_points.find({account, folder});
    if (it == m_points.end()) return std::nullopt;
    return it->second;
}

bool CSyncStateFile::Save(const std::string& account, const std::string& folder, const SyncPoint& point) {
    if (!Storable(account) || !Storable(folder)) return false;
    if (m_fd < 0) m_fd = ::open(m_file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return false;
    const std::string line = (m_cutLine ? "\n" : "") + Line(account, folder, point);
    if (::write(m_fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return false;
    m_cutLine = false;
    m_points[{account, folder}] = point;
    return true;
}
