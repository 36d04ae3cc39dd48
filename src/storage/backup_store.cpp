#include "storage/backup_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <set>

#include "core/cp932.h"
#include "core/file_read.h"
#include "core/texts.h"
#include "core/user_interface.h"
#include "storage/atomic_file.h"
#include "storage/pal_data_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kBackupExtension = ".ybf";

std::time_t ChangeTime(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_mtime : 0;
}

std::tm LocalTime(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

// Days since 1970-01-01 of the local calendar day of `t`.
long LocalDay(std::time_t t) {
    const std::tm tm = LocalTime(t);
    // Howard Hinnant's days_from_civil.
    const long y = tm.tm_year + 1900 - (tm.tm_mon < 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long m = tm.tm_mon + 1;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + tm.tm_mday - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string BackupName(std::uint64_t sequence, std::time_t saved) {
    const std::tm tm = LocalTime(saved);
    char name[64];
    std::snprintf(name, sizeof name, "%08llu-%04d%02d%02d-%02d%02d%02d%s", static_cast<unsigned long long>(sequence),
                  tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, kBackupExtension);
    return name;
}

// The local time a "YYYYMMDD-HHMMSS" stem names.
std::optional<std::time_t> StemTime(const std::string& stem) {
    std::tm tm{};
    int consumed = 0;
    if (stem.size() != 15 ||
        std::sscanf(stem.c_str(), "%4d%2d%2d-%2d%2d%2d%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec, &consumed) != 6 ||
        consumed != 15)
        return std::nullopt;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == -1) return std::nullopt;
    return t;
}

std::optional<std::uint64_t> Number(std::string_view digits) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// What a backup's name holds: "<sequence>-YYYYMMDD-HHMMSS.ybf", or older versions'
// "YYYYMMDD-HHMMSS[-N].ybf".
std::optional<BackupEntry> ParseBackupName(const fs::path& file) {
    if (file.extension() != kBackupExtension) return std::nullopt;
    const std::string name = file.stem().string();
    BackupEntry entry{file};
    const std::size_t dash = name.find('-');
    if (dash != std::string::npos && name.size() - dash - 1 == 15) {
        const std::optional<std::uint64_t> sequence = Number(std::string_view(name).substr(0, dash));
        const std::optional<std::time_t> saved = StemTime(name.substr(dash + 1));
        if (sequence && *sequence > 0 && saved) {
            entry.sequence = *sequence;
            entry.saved = *saved;
            return entry;
        }
    }
    const std::optional<std::time_t> saved = StemTime(name.substr(0, 15));
    if (!saved) return std::nullopt;
    entry.saved = *saved;
    if (name.size() == 15) return entry;
    const std::optional<std::uint64_t> sameSecond =
        name[15] == '-' ? Number(std::string_view(name).substr(16)) : std::nullopt;
    if (!sameSecond || *sameSecond > 1000000) return std::nullopt;
    entry.sameSecond = static_cast<int>(*sameSecond);
    return entry;
}

bool NewerFirst(const BackupEntry& a, const BackupEntry& b) {
    if (a.sequence != b.sequence) return a.sequence > b.sequence;
    return a.saved != b.saved ? a.saved > b.saved : a.sameSecond > b.sameSecond;
}

// The file in each folder of backups that names its data file.
constexpr const char* kOwnerFileName = "data-file";

std::string FullPathText(const fs::path& file) {
    std::error_code ec;
    return fs::absolute(file, ec).lexically_normal().string();
}

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

}  // namespace

BackupPolicy ReadBackupPolicy(const fs::path& file) {
    const std::optional<std::string> text = ReadRegularFileBytes(file, 4096);
    return text ? ParseBackupPolicy(*text) : BackupPolicy{};
}

BackupPolicy ParseBackupPolicy(std::string_view text) {
    BackupPolicy policy;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string line(text.substr(start, end - start));
        start = end + 1;
        int value = 0;
        int consumed = 0;
        const bool last = std::sscanf(line.c_str(), "keep-last=%d%n", &value, &consumed) == 1;
        const bool days = !last && std::sscanf(line.c_str(), "keep-days=%d%n", &value, &consumed) == 1;
        if ((!last && !days) || value < 0 || value > kMaxBackupPolicyNumber) continue;
        (last ? policy.keepLast : policy.keepDays) = value;
    }
    return policy;
}

fs::path BackupPolicyFile(const EnvLookup& env) {
    const fs::path base = XdgBaseDirectory(env, "XDG_CONFIG_HOME", ".config");
    return base.empty() ? fs::path() : base / "yubino" / "backups.conf";
}

std::string DataFileTag(const fs::path& dataFile) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(FullPathText(dataFile))));
    return dataFile.filename().string() + "-" + hash;
}

OwnFile ReadOwnPalFile(const fs::path& file, std::string* bytes) {
    const OpenedFile opened = OpenRegularFile(file, Links::Refuse);
    if (opened.status == FileReadResult::Status::Missing) return OwnFile::Missing;
    if (!opened.fd.IsOpen() || opened.size > kPalDataFileCap) return OwnFile::Foreign;
    std::string head(kPalDataMagic.size(), '\0');
    const ssize_t n = ::pread(opened.fd.Get(), head.data(), head.size(), 0);
    if (n != static_cast<ssize_t>(head.size()) || head != kPalDataMagic) return OwnFile::Foreign;
    if (!bytes) return OwnFile::Ours;
    // Read again under the cap, without a link, so that a file swapped meanwhile is no better.
    FileReadResult whole = ReadRegularFile(file, kPalDataFileCap, Links::Refuse);
    if (!whole.Ok() || !whole.bytes.starts_with(kPalDataMagic)) return OwnFile::Foreign;
    *bytes = std::move(whole.bytes);
    return OwnFile::Ours;
}

namespace {

// The files of a folder of backups, told apart into backups and the rest.
void SortFolder(const fs::path& folder, std::vector<BackupEntry>* backups, std::vector<fs::path>* foreign) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // The folder's own note and the hidden temporary files of a write under way.
        if (name == kOwnerFileName || name.starts_with(".")) continue;
        std::optional<BackupEntry> entry = ParseBackupName(it->path());
        if (entry && ReadOwnPalFile(it->path()) == OwnFile::Ours) {
            std::error_code sizeError;
            entry->bytes = fs::file_size(it->path(), sizeError);
            if (backups) backups->push_back(*entry);
        } else if (foreign) {
            foreign->push_back(it->path());
        }
    }
}

}  // namespace

std::vector<BackupEntry> ListBackups(const fs::path& folder) {
    std::vector<BackupEntry> entries;
    SortFolder(folder, &entries, nullptr);
    std::sort(entries.begin(), entries.end(), NewerFirst);
    return entries;
}

std::vector<fs::path> ForeignBackupFiles(const fs::path& folder) {
    std::vector<fs::path> foreign;
    SortFolder(folder, nullptr, &foreign);
    std::sort(foreign.begin(), foreign.end());
    return foreign;
}

std::vector<fs::path> BackupsToRemove(const std::vector<BackupEntry>& newestFirst, std::time_t now,
                                      const BackupPolicy& policy) {
    std::vector<fs::path> remove;
    std::set<long> daysKept;
    const long today = LocalDay(now);
    for (std::size_t i = 0; i < newestFirst.size(); ++i) {
        const long day = LocalDay(newestFirst[i].saved);
        const bool recentDay = today - day < policy.keepDays;
        // The first backup met of a day is that day's newest.
        const bool dayKeeper = recentDay && daysKept.insert(day).second;
        if (i < static_cast<std::size_t>(policy.keepLast) || dayKeeper) continue;
        remove.push_back(newestFirst[i].file);
    }
    return remove;
}

CBackupStore::CBackupStore(fs::path root, BackupPolicy policy, Clock clock)
    : m_root(std::move(root)), m_policy(policy), m_clock(std::move(clock)) {}

CBackupStore CBackupStore::ForUser(const EnvLookup& env) {
    const fs::path base = XdgBaseDirectory(env, "XDG_DATA_HOME", ".local/share");
    return CBackupStore(base.empty() ? fs::path() : base / "yubino" / "backups",
                        ReadBackupPolicy(BackupPolicyFile(env)), [] { return std::time(nullptr); });
}

fs::path CBackupStore::FolderFor(const fs::path& dataFile) const {
    return m_root.empty() ? fs::path() : m_root / DataFileTag(dataFile);
}

CBackupStore::Result CBackupStore::Keep(const fs::path& dataFile, const fs::path& source, bool move) {
    std::string bytes;
    if (source.empty()) {
        std::optional<std::string> data = ReadRegularFileBytes(dataFile, kPalDataFileCap);
        if (data) bytes = std::move(*data);
    } else if (ReadOwnPalFile(source, &bytes) == OwnFile::Foreign) {
        return Result::NotOurs;
    }
    // A missing or empty file holds nothing to lose.
    if (bytes.empty()) return Result::NothingToKeep;
    const fs::path from = source.empty() ? dataFile : source;
    const fs::path folder = FolderFor(dataFile);
    if (folder.empty() || !MakePrivateFolder(m_root) || !MakePrivateFolder(folder) || !IsWritableDirectory(folder))
        return Result::FolderUnavailable;
    std::error_code ec;
    const fs::path owner = folder / kOwnerFileName;
    if (!fs::exists(fs::symlink_status(owner, ec))) WritePrivateFileAtomically(owner, FullPathText(dataFile) + "\n");

    const std::vector<BackupEntry> existing = ListBackups(folder);
    std::string newest;
    const bool same =
        !existing.empty() && ReadOwnPalFile(existing.front().file, &newest) == OwnFile::Ours && newest == bytes;
    if (!same) {
        // Numbered after the newest; named by the save, but never by a time still to come.
        const std::uint64_t sequence = existing.empty() ? 1 : existing.front().sequence + 1;
        const std::time_t saved = std::min(ChangeTime(from), m_clock());
        const WriteResult written = WritePrivateFileAtomically(folder / BackupName(sequence, saved), bytes);
        if (!written.ok) {
            m_lastError = written.error;
            return Result::Failed;
        }
    }
    if (move) fs::remove(from, ec);
    for (const fs::path& old : BackupsToRemove(ListBackups(folder), m_clock(), m_policy)) fs::remove(old, ec);
    return same ? Result::NothingToKeep : Result::Kept;
}

std::optional<std::string> CBackupStore::OtherDataFileOf(const fs::path& backup, const fs::path& dataFile) const {
    const fs::path folder = fs::path(FullPathText(backup)).parent_path();
    const fs::path own = FolderFor(dataFile);
    if (own.empty() || folder == fs::path(FullPathText(own))) return std::nullopt;
    const FileReadResult owner = ReadRegularFile(folder / kOwnerFileName, 4096, Links::Refuse);
    if (owner.Ok()) {
        const std::string path = owner.bytes.substr(0, owner.bytes.find('\n'));
        if (path == FullPathText(dataFile)) return std::nullopt;
        return path;
    }
    // A folder of the store from before folders named their data file.
    if (folder.parent_path() == fs::path(FullPathText(m_root))) return folder.filename().string();
    return std::nullopt;
}

void CSaveBackups::BeforeReplace(const fs::path& dataFile, CUserInterface& ui) {
    const CBackupStore::Result result = m_store.Keep(dataFile);
    const fs::path folder = m_store.FolderFor(dataFile);
    if (result == CBackupStore::Result::FolderUnavailable && !m_bToldOff) {
        m_bToldOff = true;
        ui.ShowMessage(FormatText(texts::kBackupsOff, PathText(folder)), MessageKind::Warning);
    } else if (result == CBackupStore::Result::Failed && !m_bToldFailed) {
        m_bToldFailed = true;
        ui.ShowMessage(FileProblemMessage(texts::kBackupNotWritten, folder, m_store.LastError()), MessageKind::Warning);
    }
}
