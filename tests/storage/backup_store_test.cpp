#include "storage/backup_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include <csignal>
#include <functional>

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

// Bytes that begin like a pal data file, as every file the store keeps does.
std::string PalBytes(const std::string& text) { return std::string(kPalDataMagic) + text; }

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
        WriteFileBytes(data, PalBytes("version " + std::to_string(save)));
        SetChangeTime(data, now);
        EXPECT_EQ(store.Keep(data), CBackupStore::Result::Kept) << save;
        now += (save % 2 == 0) ? kHour : kDay;
    }
    const std::vector<BackupEntry> kept = ListBackups(store.FolderFor(data));
    std::vector<std::string> contents;
    for (const BackupEntry& entry : kept) contents.push_back(ReadFileBytes(entry.file).substr(kPalDataMagic.size()));
    // The last three saves, then the newest of each earlier day within five days.
    EXPECT_EQ(contents, (std::vector<std::string>{"version 19", "version 18", "version 17", "version 15", "version 13",
                                                  "version 11"}));
    EXPECT_EQ(kept.front().bytes, kPalDataMagic.size() + 10u);

    // The same content again is not kept twice; a missing file keeps nothing.
    EXPECT_EQ(store.Keep(data), CBackupStore::Result::NothingToKeep);
    EXPECT_EQ(store.Keep(dir / "missing.ybf"), CBackupStore::Result::NothingToKeep);
}

TEST(BackupStore, SavesInTheSameSecondGetTheirOwnFiles) {
    TempDir dir;
    CBackupStore store(dir / "backups", {}, [] { return Noon(); });
    const fs::path data = dir / "pals.ybf";
    for (const char* content : {"one", "two", "three"}) {
        WriteFileBytes(data, PalBytes(content));
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

namespace {

std::string PalFile(const std::string& address) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    app.AddPal(Pal(address));
    return WritePalData(app);
}

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

std::vector<std::string> Contents(const std::vector<BackupEntry>& entries) {
    std::vector<std::string> contents;
    for (const BackupEntry& entry : entries) contents.push_back(ReadFileBytes(entry.file));
    return contents;
}

// Saves of one second, more than the last ten: the newest ten stay, in the order made.
TEST(BackupStore, ManySavesInOneSecondKeepTheNewestInTheOrderMade) {
    TempDir dir;
    CBackupStore store(dir / "backups", {10, 0}, [] { return Noon(); });
    const fs::path data = dir / "pals.ybf";
    for (int save = 0; save < 14; ++save) {
        WriteFileBytes(data, PalFile("p" + std::to_string(save) + "@example.jp"));
        SetChangeTime(data, Noon());
        ASSERT_EQ(store.Keep(data), CBackupStore::Result::Kept) << save;
    }
    std::vector<std::string> expected;
    for (int save = 13; save >= 4; --save) expected.push_back(PalFile("p" + std::to_string(save) + "@example.jp"));
    EXPECT_EQ(Contents(ListBackups(store.FolderFor(data))), expected);
}

// A data file whose time is set ahead (or a clock put back) does not put its backup above
// later ones, and names older versions wrote rank below every numbered one.
TEST(BackupStore, OrderFollowsTheNumbersYubinoWroteNotFileTimes) {
    TempDir dir;
    CBackupStore store(dir / "backups", {}, [] { return Noon(); });
    const fs::path data = dir / "pals.ybf";
    const fs::path folder = store.FolderFor(data);
    fs::create_directories(folder);
    WriteFileBytes(folder / "20991231-235959.ybf", PalFile("old-format-future@example.jp"));
    WriteFileBytes(folder / "20260101-000000-10.ybf", PalFile("old-format-10@example.jp"));
    WriteFileBytes(folder / "20260101-000000-2.ybf", PalFile("old-format-2@example.jp"));
    WriteFileBytes(data, PalFile("ahead@example.jp"));
    SetChangeTime(data, Noon() + 400 * kDay);
    ASSERT_EQ(store.Keep(data), CBackupStore::Result::Kept);
    WriteFileBytes(data, PalFile("later@example.jp"));
    SetChangeTime(data, Noon() - kDay);
    ASSERT_EQ(store.Keep(data), CBackupStore::Result::Kept);

    const std::vector<BackupEntry> kept = ListBackups(folder);
    EXPECT_EQ(Contents(kept),
              (std::vector<std::string>{PalFile("later@example.jp"), PalFile("ahead@example.jp"),
                                        PalFile("old-format-future@example.jp"), PalFile("old-format-10@example.jp"),
                                        PalFile("old-format-2@example.jp")}));
    EXPECT_LE(kept[1].saved, Noon()) << "a backup is never dated after it was made";
}

struct StrangerCase {
    const char* name;
    std::function<void(const fs::path& folder, const fs::path& secret)> make;
};

const StrangerCase kStrangerCases[] = {
    {"a link to a private file",
     [](const fs::path& folder, const fs::path& secret) {
         fs::create_symlink(secret, folder / "99999999-20991231-235959.ybf");
     }},
    {"garbage dated in the future",
     [](const fs::path& folder, const fs::path&) {
         WriteFileBytes(folder / "99999999-20991231-235959.ybf", "garbage");
     }},
    {"a folder named like a backup",
     [](const fs::path& folder, const fs::path&) { fs::create_directory(folder / "20991231-235959.ybf"); }},
    {"a FIFO",
     [](const fs::path& folder, const fs::path&) {
         ASSERT_EQ(::mkfifo((folder / "99999999-20991231-235959.ybf").c_str(), 0600), 0);
     }},
};

// What is not Yubino's in the folder of backups is never listed, restored from, counted
// for rotation or removed; what Yubino writes there is its user's alone.
TEST(BackupStore, LeavesStrangersAloneAndKeepsItsOwnPrivate) {
    for (const StrangerCase& c : kStrangerCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFileBytes(dir / "secret", "key material");
        CBackupStore store(dir / "backups", {2, 0}, [] { return Noon(); });
        const fs::path data = dir / "pals.ybf";
        const fs::path folder = store.FolderFor(data);
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::all);
        c.make(folder, dir / "secret");
        for (int save = 0; save < 4; ++save) {
            WriteFileBytes(data, PalFile("p" + std::to_string(save) + "@example.jp"));
            ASSERT_EQ(store.Keep(data), CBackupStore::Result::Kept);
        }
        const std::vector<BackupEntry> kept = ListBackups(folder);
        EXPECT_EQ(Contents(kept), (std::vector<std::string>{PalFile("p3@example.jp"), PalFile("p2@example.jp")}));
        const std::vector<fs::path> foreign = ForeignBackupFiles(folder);
        ASSERT_EQ(foreign.size(), 1u);
        EXPECT_TRUE(fs::exists(fs::symlink_status(foreign[0])));
        EXPECT_EQ(ReadFileBytes(dir / "secret"), "key material");
        EXPECT_EQ(ModeOf(folder), 0700u);
        EXPECT_EQ(ModeOf(dir / "backups"), 0700u);
        for (const BackupEntry& entry : kept) EXPECT_EQ(ModeOf(entry.file), 0600u);
    }
}

TEST(BackupStore, TheFolderNamesItsDataFileSoABackupOfAnotherIsKnown) {
    TempDir dir;
    CBackupStore store(dir / "backups", {}, [] { return Noon(); });
    const fs::path a = dir / "a.ybf";
    const fs::path b = dir / "b.ybf";
    for (const fs::path& data : {a, b}) {
        WriteFileBytes(data, PalFile(data.stem().string() + "@example.jp"));
        ASSERT_EQ(store.Keep(data), CBackupStore::Result::Kept);
    }
    const fs::path backupOfB = ListBackups(store.FolderFor(b)).front().file;
    EXPECT_EQ(store.OtherDataFileOf(backupOfB, a), b.string());
    EXPECT_EQ(store.OtherDataFileOf(backupOfB, b), std::nullopt);
    EXPECT_EQ(store.OtherDataFileOf(dir / "a-copy.ybf", a), std::nullopt) << "a file of the user's own";
}

// A backup that cannot be written (a file size limit fails the write as a full disk does):
// the save goes on and the user hears of it once in a session.
TEST(SaveBackups, AFailedWriteIsToldOnceAndSavingGoesOn) {
    TempDir dir;
    CSaveBackups backups(CBackupStore(dir / "backups", {}, [] { return Noon(); }));
    FakeUserInterface ui;
    const fs::path data = dir / "pals.ybf";
    WriteFileBytes(data, PalFile("big@example.jp") + std::string(64 * 1024, 'x'));
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit limit = old;
    limit.rlim_cur = 16 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    backups.BeforeReplace(data, ui);
    backups.BeforeReplace(data, ui);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, SIG_DFL);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("バックアップを"), std::string::npos);
    EXPECT_TRUE(ListBackups(backups.Store().FolderFor(data)).empty());
}

}  // namespace
