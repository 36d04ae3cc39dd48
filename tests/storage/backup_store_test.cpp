#include "storage/backup_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "storage/yubino_doc.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr std::time_t kHour = 3600;
constexpr std::time_t kDay = 24 * kHour;

// Noon local time on 2026-06-15: far from midnight, so "n days ago" is a calendar day.
std::time_t Noon() {
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 5;
    tm.tm_mday = 15;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

// Backups saved at the given times before `now`, newest first.
std::vector<BackupEntry> SavedAgo(std::time_t now, const std::vector<std::time_t>& ago) {
    std::vector<BackupEntry> entries;
    for (std::time_t a : ago) entries.push_back({fs::path(std::to_string(a)), now - a, 1});
    return entries;
}

std::vector<std::time_t> Range(int count, std::time_t step, std::time_t first = 0) {
    std::vector<std::time_t> out;
    for (int i = 0; i < count; ++i) out.push_back(first + i * step);
    return out;
}

struct RotationCase {
    const char* name;
    BackupPolicy policy;
    std::vector<std::time_t> ago;      // newest first
    std::vector<std::time_t> removed;  // the `ago` values of the backups that go
};

const RotationCase kRotationCases[] = {
    {"fewer than the last ten", {10, 30}, Range(5, kHour), {}},
    {"twelve saves today: the two oldest go", {10, 30}, Range(12, 60), {660, 600}},
    {"one save a day for forty days: thirty days stay", {10, 30}, Range(40, kDay), Range(10, -kDay, 39 * kDay)},
    {"three saves a day: each day's newest stays after the last ten",
     {10, 30},
     {0, 60, 120, kDay, kDay + 60, kDay + 120, 2 * kDay, 2 * kDay + 60, 2 * kDay + 120, 3 * kDay, 3 * kDay + 60,
      3 * kDay + 120, 4 * kDay, 4 * kDay + 60},
     {3 * kDay + 60, 3 * kDay + 120, 4 * kDay + 60}},
    {"nothing kept when both numbers are zero", {0, 0}, Range(3, kDay), Range(3, kDay)},
    {"old saves beyond the days but within the last ten stay", {10, 2}, Range(4, 100 * kDay), {}},
};

class RotationTest : public testing::TestWithParam<RotationCase> {};

TEST_P(RotationTest, RemovesWhatThePolicyDoesNotKeep) {
    const RotationCase& c = GetParam();
    const std::time_t now = Noon();
    std::vector<fs::path> expected;
    for (std::time_t a : c.removed) expected.emplace_back(std::to_string(a));
    std::sort(expected.begin(), expected.end());
    std::vector<fs::path> removed = BackupsToRemove(SavedAgo(now, c.ago), now, c.policy);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, expected);
}

INSTANTIATE_TEST_SUITE_P(Policies, RotationTest, testing::ValuesIn(kRotationCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(*p) ? *p : '_';
    return name;
});

struct PolicyCase {
    const char* name;
    const char* text;
    BackupPolicy expected;
};

const PolicyCase kPolicyCases[] = {
    {"both numbers", "keep-last=3\nkeep-days=7\n", {3, 7}},
    {"one number", "keep-days=90", {10, 90}},
    {"numbers out of range and junk", "keep-last=-1\nkeep-days=99999\nfoo\n", {10, 30}},
    {"empty", "", {10, 30}},
};

TEST(BackupPolicyFile, ReadsTheNumbersOrKeepsTheDefaults) {
    TempDir dir;
    for (const PolicyCase& c : kPolicyCases) {
        WriteFileBytes(dir / "backups.conf", c.text);
        const BackupPolicy policy = ReadBackupPolicy(dir / "backups.conf");
        EXPECT_EQ(policy.keepLast, c.expected.keepLast) << c.name;
        EXPECT_EQ(policy.keepDays, c.expected.keepDays) << c.name;
    }
    EXPECT_EQ(ReadBackupPolicy(dir / "missing").keepLast, 10);
}

void SetChangeTime(const fs::path& file, std::time_t t) {
    const struct utimbuf times { t, t };
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

// Saves day after day with a clock that moves on: the folder holds what the policy keeps.
TEST(BackupStore, KeepsCopiesAndRotatesWithTheClock) {
    TempDir dir;
    std::time_t now = Noon() - 50 * kDay;
    CBackupStore store(dir / "backups", {3, 5}, [&] { return now; });
    const fs::path data = dir / "pals.ybf";
    for (int save = 0; save < 20; ++save) {
        WriteFileBytes(data, "version " + std::to_string(save));
        SetChangeTime(data, now);
        EXPECT_EQ(store.Keep(data), CBackupStore::Result::Kept) << save;
        now += (save % 2 == 0) ? kHour : kDay;
    }
    const std::vector<BackupEntry> kept = ListBackups(store.FolderFor(data));
    std::vector<std::string> contents;
    for (const BackupEntry& entry : kept) contents.push_back(ReadFileBytes(entry.file));
    // The last three saves, then the newest of each earlier day within five days.
    EXPECT_EQ(contents, (std::vector<std::string>{"version 19", "version 18", "version 17", "version 15", "version 13",
                                                  "version 11"}));
    EXPECT_EQ(kept.front().bytes, 10u);

    // The same content again is not kept twice; a missing file keeps nothing.
    EXPECT_EQ(store.Keep(data), CBackupStore::Result::NothingToKeep);
    EXPECT_EQ(store.Keep(dir / "missing.ybf"), CBackupStore::Result::NothingToKeep);
}

TEST(BackupStore, SavesInTheSameSecondGetTheirOwnFiles) {
    TempDir dir;
    CBackupStore store(dir / "backups", {}, [] { return Noon(); });
    const fs::path data = dir / "pals.ybf";
    for (const char* content : {"one", "two", "three"}) {
        WriteFileBytes(data, content);
        SetChangeTime(data, Noon());
        ASSERT_EQ(store.Keep(data), CBackupStore::Result::Kept);
    }
    EXPECT_EQ(ListBackups(store.FolderFor(data)).size(), 3u);
}

TEST(BackupStore, DataFilesOfTheSameNameKeepApart) {
    TempDir dir;
    CBackupStore store(dir / "backups", {}, [] { return Noon(); });
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    EXPECT_NE(store.FolderFor(dir / "a" / "pals.ybf"), store.FolderFor(dir / "b" / "pals.ybf"));
}

CPenPal Pal(const std::string& address) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    return pal;
}

// The document's save keeps the old file first, through the user's backup folder.
TEST(SaveBackups, EachSaveKeepsTheFileItReplaces) {
    TempDir dir;
    const fs::path data = dir / "pals.ybf";
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    app.AddPal(Pal("a@example.jp"));
    ASSERT_TRUE(doc.OnSaveDocument(data).ok);
    const std::string first = ReadFileBytes(data);
    app.AddPal(Pal("b@example.jp"));
    ASSERT_TRUE(doc.OnSaveDocument(data).ok);

    const std::vector<BackupEntry> kept = ListBackups(CBackupStore::ForUser().FolderFor(data));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadFileBytes(kept[0].file), first);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(SaveBackups, AFolderThatCannotBeMadeIsToldOnceAndSavingGoesOn) {
    TempDir dir;
    WriteFileBytes(dir / "not-a-folder", "x");
    CSaveBackups backups(CBackupStore(dir / "not-a-folder" / "backups", {}, [] { return Noon(); }));
    FakeUserInterface ui;
    const fs::path data = dir / "pals.ybf";
    WriteFileBytes(data, "old");
    backups.BeforeReplace(data, ui);
    backups.BeforeReplace(data, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("バックアップ"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(data), "old");
}

}  // namespace
