#include "sync/sync_state.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "archive/pal_archive.h"
#include "core/file_read.h"

namespace {

constexpr std::size_t kMaxStateFileBytes = 16 * 1024 * 1024;
constexpr const char* kKeyPrefix = "mail_check_point\t";

bool ParseNumber(std::string_view text, std::uint32_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "uidvalidity lastuid"
std::optional<SyncPoint> ParsePoint(std::string_view text) {
    const std::size_t space = text.find(' ');
    SyncPoint point;
    if (space == std::string_view::npos || !ParseNumber(text.substr(0, space), point.uidValidity) ||
        !ParseNumber(text.substr(space + 1), point.lastUid))
        return std::nullopt;
    return point;
}

std::string Key(const std::string& account, const std::string& folder) { return kKeyPrefix + account + '\t' + folder; }

// The old state file: a line "account TAB folder TAB uidvalidity TAB lastuid" per save,
// the last line of a key winning; a line cut short by a kill is passed over.
std::map<std::pair<std::string, std::string>, SyncPoint> ReadStateFile(const std::filesystem::path& file) {
    std::map<std::pair<std::string, std::string>, SyncPoint> points;
    const FileReadResult read = ReadRegularFile(file, kMaxStateFileBytes);
    if (!read.Ok()) return points;
    std::istringstream in(read.bytes.substr(0, read.bytes.rfind('\n') + 1));
    for (std::string line; std::getline(in, line);) {
        const std::size_t t1 = line.find('\t');
        const std::size_t t2 = line.find('\t', t1 + 1);
        if (t1 == std::string::npos || t2 == std::string::npos) continue;
        std::string rest = line.substr(t2 + 1);
        std::replace(rest.begin(), rest.end(), '\t', ' ');
        if (const std::optional<SyncPoint> point = ParsePoint(rest))
            points[{line.substr(0, t1), line.substr(t1 + 1, t2 - t1 - 1)}] = *point;
    }
    return points;
}

}  // namespace

std::optional<SyncPoint> CMemorySyncState::Load(const std::string& account, const std::string& folder) {
    const auto it = m_points.find({account, folder});
    if (it == m_points.end()) return std::nullopt;
    return it->second;
}

bool CMemorySyncState::Save(const std::string& account, const std::string& folder, const SyncPoint& point) {
    m_points[{account, folder}] = point;
    return true;
}

ArchiveSetting SyncPointSetting(const std::string& account, const std::string& folder, const SyncPoint& point) {
    return {Key(account, folder), std::to_string(point.uidValidity) + ' ' + std::to_string(point.lastUid)};
}

CMailArchive* CArchiveSyncState::WritableArchive() {
    return m_archive && m_archive->Writable() ? m_archive->Archive() : nullptr;
}

std::optional<SyncPoint> CArchiveSyncState::Load(const std::string& account, const std::string& folder) {
    CMailArchive* archive = WritableArchive();
    if (!archive) return m_memory.Load(account, folder);
    const ArchiveResult<std::optional<std::string>> value = archive->ReadSetting(Key(account, folder));
    return value.value ? ParsePoint(*value.value) : std::nullopt;
}

bool CArchiveSyncState::Save(const std::string& account, const std::string& folder, const SyncPoint& point) {
    CMailArchive* archive = WritableArchive();
    if (!archive) return m_memory.Save(account, folder, point);
    const ArchiveSetting setting = SyncPointSetting(account, folder, point);
    const ArchiveResult<std::optional<std::string>> stored = archive->ReadSetting(setting.key);
    if (!stored.Ok()) return false;
    return stored.value == setting.value || archive->WriteSettings({setting}).Ok();
}

void CArchiveSyncState::TakeOverStateFile(const std::filesystem::path& dataFile) {
    std::filesystem::path file = dataFile;
    file.replace_extension(".mailcheck.tsv");
    std::error_code error;
    CMailArchive* archive = WritableArchive();
    if (!archive || !std::filesystem::exists(file, error)) return;
    std::vector<ArchiveSetting> settings;
    for (const auto& [key, point] : ReadStateFile(file)) {
        const ArchiveResult<std::optional<std::string>> stored = archive->ReadSetting(Key(key.first, key.second));
        if (!stored.Ok()) return;  // the file stays for the next check to try again
        if (!stored.value) settings.push_back(SyncPointSetting(key.first, key.second, point));
    }
    if (archive->WriteSettings(settings).Ok()) std::filesystem::remove(file, error);
}
