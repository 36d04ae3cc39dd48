#include "storage/recovery_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/backup_store.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string PalData(const std::vector<std::string>& addresses) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    for (const std::string& address : addresses) {
        CPenPal pal;
        pal.m_strMailAddress = address;
        app.AddPal(pal);
    }
    return WritePalData(app);
}

void Age(const fs::path& file, std::chrono::seconds by) { fs::last_write_time(file, fs::last_write_time(file) - by); }

enum class Copy { None, Newer, NewerDamaged, NewerSame, Older, LinkToPalFile, ForeignFromTheFuture };

struct RecoveryCase {
    const char* name;
    Copy copy;
    std::optional<bool> answer;  // the question's answer; none: no question
    RecoveryOutcome outcome;
    std::vector<std::string> table;  // addresses after the offer
    int backups;                     // files in the data file's backup folder afterwards
    bool copyLeft;                   // the recovery copy is still there
};

const std::vector<std::string> kOnDisk{"saved@example.jp"};
const std::vector<std::string> kRecovered{"saved@example.jp", "new@example.jp"};

const RecoveryCase kRecoveryCases[] = {
    {"no copy", Copy::None, std::nullopt, RecoveryOutcome::NoneFound, kOnDisk, 0, false},
    {"newer copy, restored", Copy::Newer, true, RecoveryOutcome::Restored, kRecovered, 1, true},
    {"newer copy, declined", Copy::Newer, false, RecoveryOutcome::Declined, kOnDisk, 1, false},
    {"damaged copy is never loaded", Copy::NewerDamaged, true, RecoveryOutcome::Damaged, kOnDisk, 2, false},
    {"newer copy equal to the data file", Copy::NewerSame, std::nullopt, RecoveryOutcome::Stale, kOnDisk, 0, false},
    {"copy older than the data file", Copy::Older, std::nullopt, RecoveryOutcome::Stale, kOnDisk, 1, false},
    {"a link to another pal file is left alone", Copy::LinkToPalFile, std::nullopt, RecoveryOutcome::Foreign, kOnDisk,
     0, true},
    {"another program's file dated ahead is left alone", Copy::ForeignFromTheFuture, std::nullopt,
     RecoveryOutcome::Foreign, kOnDisk, 0, true},
};

class RecoveryOfferTest : public testing::TestWithParam<RecoveryCase> {};

TEST_P(RecoveryOfferTest, FollowsTheCopyAndTheAnswer) {
    const RecoveryCase& c = GetParam();
    TempDir dir;
    const fs::path data = dir / "pals.ybf";
    const fs::path copy = dir / "state" / "pals.ybf-recovery";
    WriteFileBytes(data, PalData(kOnDisk));
    if (c.copy == Copy::LinkToPalFile) {
        WriteFileBytes(dir / "elsewhere.ybf", PalData(kRecovered));
        fs::create_directories(copy.parent_path());
        fs::create_symlink(dir / "elsewhere.ybf", copy);
        Age(data, std::chrono::seconds(60));
    } else if (c.copy == Copy::ForeignFromTheFuture) {
        fs::create_directories(copy.parent_path());
        WriteFileBytes(copy, "garbage");
        fs::last_write_time(copy, fs::last_write_time(data) + std::chrono::hours(24 * 365));
    } else if (c.copy != Copy::None) {
        std::string bytes = PalData(c.copy == Copy::NewerSame ? kOnDisk : kRecovered);
        if (c.copy == Copy::NewerDamaged) bytes.resize(bytes.size() - 3);
        ASSERT_TRUE(WriteRecoveryFile(copy, bytes).ok);
        Age(c.copy == Copy::Older ? copy : data, std::chrono::seconds(60));
    }
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPenPal pal;
    pal.m_strMailAddress = kOnDisk[0];
    app.AddPal(pal);
    if (c.answer) ui.yesNoAnswers.push_back(*c.answer);
    CBackupStore backups(dir / "backups", {}, [] { return std::time(nullptr); });

    EXPECT_EQ(OfferRecovery(app, data, copy, backups), c.outcome);

    std::vector<std::string> table;
    for (const CPenPal& p : app.Pals()) table.push_back(p.m_strMailAddress);
    EXPECT_EQ(table, c.table);
    EXPECT_EQ(ListBackups(backups.FolderFor(data)).size(), static_cast<std::size_t>(c.backups));
    EXPECT_EQ(fs::exists(fs::symlink_status(copy)), c.copyLeft);
    EXPECT_TRUE(ui.yesNoAnswers.empty()) << "the question was asked exactly when expected";
    const bool toldDamaged = !ui.messages.empty() && ui.messages[0].text.find("壊れて") != std::string::npos;
    EXPECT_EQ(toldDamaged, c.outcome == RecoveryOutcome::Damaged);
    const bool toldForeign = !ui.messages.empty() && ui.messages[0].text.find("Yubino が書いた") != std::string::npos;
    EXPECT_EQ(toldForeign, c.outcome == RecoveryOutcome::Foreign);
    if (c.copy == Copy::LinkToPalFile) {
        EXPECT_TRUE(fs::is_symlink(copy));
    }
    EXPECT_EQ(ReadFileBytes(data), PalData(kOnDisk)) << "the data file itself is left to the save on close";
}

INSTANTIATE_TEST_SUITE_P(StartUp, RecoveryOfferTest, testing::ValuesIn(kRecoveryCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(*p) ? *p : '_';
    return name;
});

TEST(RecoveryFile, NamedForTheDataFileUnderTheStateFolder) {
    auto env = [](const char* name) { return std::string(name) == "XDG_STATE_HOME" ? "/state" : ""; };
    const fs::path a = RecoveryFileFor("/home/u/a/pals.ybf", env);
    EXPECT_EQ(a.parent_path(), fs::path("/state/yubino/recovery"));
    EXPECT_EQ(a.filename().string().rfind("pals.ybf-", 0), 0u);
    EXPECT_NE(a, RecoveryFileFor("/home/u/b/pals.ybf", env));
    EXPECT_EQ(a, RecoveryFileFor("/home/u/a/../a/pals.ybf", env));
}

// The copy is the user's alone, and a link put where it goes is replaced, never written through.
TEST(RecoveryFile, WrittenPrivateAndNeverThroughALink) {
    TempDir dir;
    WriteFileBytes(dir / "key", "private key");
    const fs::path copy = dir / "state" / "recovery" / "pals.ybf-0123";
    fs::create_directories(copy.parent_path());
    fs::permissions(copy.parent_path(), fs::perms::all);
    fs::create_symlink(dir / "key", copy);
    ASSERT_TRUE(WriteRecoveryFile(copy, PalData(kOnDisk)).ok);
    EXPECT_EQ(ReadFileBytes(dir / "key"), "private key");
    EXPECT_FALSE(fs::is_symlink(copy));
    EXPECT_EQ(fs::status(copy).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(copy.parent_path()).permissions(), fs::perms::owner_all);
}

TEST(RecoveryWriter, WritesTheNewestAndRemovesOnDiscard) {
    TempDir dir;
    const fs::path copy = dir / "state" / "copy";
    CJobRunner jobs;
    CRecoveryWriter writer(jobs);
    for (int i = 0; i < 50; ++i) {
        const std::string n = std::to_string(i);
        writer.Submit(copy, PalData({"p" + n + "@example.jp"}));
    }
    writer.Flush();
    EXPECT_EQ(ReadFileBytes(copy), PalData({"p49@example.jp"}));
    writer.Discard(copy);
    EXPECT_FALSE(fs::exists(copy));
}

// Closing the window cancels every job, a writing one among them: the copy last asked for
// is on disk once the writer is gone, and one asked for after is written too.
TEST(RecoveryWriter, CancelledJobsStillLeaveTheCopyLastSubmitted) {
    TempDir dir;
    const fs::path copy = dir / "state" / "copy";
    CJobRunner jobs;
    {
        CRecoveryWriter writer(jobs);
        for (int i = 0; i < 20; ++i) writer.Submit(copy, PalData({"p" + std::to_string(i) + "@example.jp"}));
        jobs.CancelAndWait();
        writer.Submit(copy, PalData({"later@example.jp"}));
        jobs.CancelAndWait();
        writer.Submit(copy, PalData({"last@example.jp"}));
    }
    EXPECT_EQ(ReadFileBytes(copy), PalData({"last@example.jp"}));
}

}  // namespace
