#include "storage/backup_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <set>

#include "core/cp932.h"
#include "core/texts.h"
#include "core/user_interface.h"
#include "storage/atomic_file.h"
#include "core/file_read.h"

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

std::string BackupStem(std::time_t saved) {
    const std::tm tm = LocalTime(saved);
    char name[32];
    std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return name;
}

// The saved time and sequence a backup's name holds: "YYYYMMDD-HHMMSS[-N].ybf".
std::optional<std::pair<std::time_t, int>> SavedTimeOf(const fs::path& file) {
    const std::string name = file.filename().string();
    if (file.extension() != kBackupExtension) return std::nullopt;
    std::tm tm{};
    int consumed = 0;
    if (std::sscanf(name.c_str(), "%4d%2d%2d-%2d%2d%2d%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec, &consumed) != 6 ||
        consumed != 15)
        return std::nullopt;
    int sequence = 1;
    if (name[15] == '-' && std::sscanf(name.c_str() + 16, "%d", &sequence) != 1) return std::nullopt;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == -1) return std::nullopt;
    return std::pair{t, sequence};
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
    std::error_code ec;
    const fs::path full = fs::absolute(dataFile, ec).lexically_normal();
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(full.string())));
    return dataFile.filename().string() + "-" + hash;
}

std::vector<BackupEntry> ListBackups(const fs::path& folder) {
    std::vector<BackupEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto saved = SavedTimeOf(it->path());
        std::error_code sizeError;
        if (!saved || !it->is_regular_file(sizeError)) continue;
        entries.push_back({it->path(), saved->first, saved->second, it->file_size(sizeError)});
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.saved != b.saved ? a.saved > b.saved : a.sequence > b.sequence;
    });
    return entries;
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
    const fs::path from = source.empty() ? dataFile : source;
    const std::optional<std::string> bytes = ReadRegularFileBytes(from, kPalDataFileCap);
    // A missing or empty file holds nothing to lose.
    if (!bytes || bytes->empty()) return Result::NothingToKeep;
    const fs::path folder = FolderFor(dataFile);
    std::error_code ec;
    if (folder.empty()) return Result::FolderUnavailable;
    fs::create_directories(folder, ec);
    if (!IsWritableDirectory(folder)) return Result::FolderUnavailable;

    const std::vector<BackupEntry> existing = ListBackups(folder);
    const bool same = !existing.empty() && ReadRegularFileBytes(existing.front().file, kPalDataFileCap) == bytes;
    if (!same) {
        const std::string stem = BackupStem(ChangeTime(from));
        fs::path target = folder / (stem + kBackupExtension);
        for (int n = 2; fs::exists(target, ec); ++n)
            target = folder / (stem + "-" + std::to_string(n) + kBackupExtension);
        if (!WriteFileAtomically(target, *bytes).ok) return Result::Failed;
    }
    if (move) fs::remove(from, ec);
    for (const fs::path& old : BackupsToRemove(ListBackups(folder), m_clock(), m_policy)) fs::remove(old, ec);
    return same ? Result::NothingToKeep : Result::Kept;
}

void CSaveBackups::BeforeReplace(const fs::path& dataFile, CUserInterface& ui) {
    if (m_store.Keep(dataFile) != CBackupStore::Result::FolderUnavailable || m_bToldOff) return;
    m_bToldOff = true;
    const std::string folder = m_store.FolderFor(dataFile).string();
    ui.ShowMessage(FormatText(texts::kBackupsOff, cp932::FromUtf8(folder).value_or(folder)), MessageKind::Warning);
}
