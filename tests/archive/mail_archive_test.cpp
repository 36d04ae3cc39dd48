// The archive file itself: what is stored once, how mails are filed, and what happens to
// a damaged, foreign or newer archive.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "archive/archive_schema.h"
#include "archive/mail_archive.h"
#include "archive/sqlite_db.h"
#include "archive/text_fold.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

MailRecord Mail(std::string pal, std::string date, std::string body, std::string messageId = "",
                MailDirection direction = MailDirection::Received) {
    MailRecord mail;
    mail.pal = std::move(pal);
    mail.date = std::move(date);
    mail.body = std::move(body);
    mail.messageId = std::move(messageId);
    mail.direction = direction;
    mail.source = "test";
    return mail;
}

void RunSql(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::vector<fs::path> DamagedCopies(const fs::path& dir) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().find(".damaged-") != std::string::npos) found.push_back(entry.path());
    return found;
}

class MailArchiveTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::Created); }
    std::vector<std::string> Bodies(const std::string& pal = "") {
        std::vector<std::string> bodies;
        for (const StoredMail& m : archive.Mails(pal).value) bodies.push_back(m.mail.body);
        return bodies;
    }
    TempDir dir;
    fs::path file = dir / "pals.mails.sqlite";
    CMailArchive archive;
};

TEST(MailArchivePath, SitsBesideTheDataFileWithItsBaseName) {
    EXPECT_EQ(CMailArchive::PathFor("/data/サンプル.ybf"), fs::path("/data/サンプル.mails.sqlite"));
}

struct DedupeCase {
    const char* name;
    MailRecord second;
    int stored;
};

class ArchiveDedupe : public MailArchiveTest, public testing::WithParamInterface<DedupeCase> {};

TEST_P(ArchiveDedupe, StoresAMailOnce) {
    ASSERT_EQ(archive.Store({Mail("a@x", "2026-01-01T10:00:00", "本文", "id-1@x")}).stored, 1);
    ASSERT_EQ(archive.Store({Mail("b@x", "2026-01-01T10:00:00", "no id")}).stored, 1);
    const CMailArchive::StoreResult result = archive.Store({GetParam().second});
    ASSERT_TRUE(result.Ok()) << result.error;
    EXPECT_EQ(result.stored, GetParam().stored);
    EXPECT_EQ(result.duplicate, 1 - GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveDedupe,
    testing::Values(DedupeCase{"SameMessageIdSameMail", Mail("a@x", "2026-01-01T10:00:00", "本文", "id-1@x"), 0},
                    DedupeCase{"SameMessageIdOtherText", Mail("a@x", "2026-01-01T10:00:00", "other", "id-1@x"), 1},
                    DedupeCase{"SameMessageIdOtherDate", Mail("a@x", "2026-02-02T00:00:00", "本文", "id-1@x"), 1},
                    DedupeCase{"SameMessageIdOtherPal", Mail("b@x", "2026-01-01T10:00:00", "本文", "id-1@x"), 1},
                    DedupeCase{"NoIdSamePalDateBody", Mail("b@x", "2026-01-01T10:00:00", "no id"), 0},
                    DedupeCase{"NoIdOtherBody", Mail("b@x", "2026-01-01T10:00:00", "no id!"), 1},
                    DedupeCase{"NoIdOtherTime", Mail("b@x", "2026-01-01T10:00:01", "no id"), 1},
                    DedupeCase{"NoIdOtherPal", Mail("c@x", "2026-01-01T10:00:00", "no id"), 1}),
    [](const testing::TestParamInfo<DedupeCase>& info) { return info.param.name; });

TEST_F(MailArchiveTest, ListsNewestFirstPerPal) {
    archive.Store({Mail("a@x", "2026-01-02T00:00:00", "second"), Mail("a@x", "2026-01-01T00:00:00", "first"),
                   Mail("b@x", "2026-01-03T00:00:00", "other"), Mail("a@x", "2026-01-03T00:00:00", "third")});
    EXPECT_EQ(Bodies("a@x"), (std::vector<std::string>{"third", "second", "first"}));
    EXPECT_EQ(Bodies().size(), 4u);
    EXPECT_EQ(archive.MailCount("b@x").value, 1);
}

TEST_F(MailArchiveTest, OneIntakeIsOneTransaction) {
    // The second mail breaks a constraint: neither is kept.
    MailRecord broken = Mail("a@x", "2026-01-01T00:00:00", "two");
    broken.direction = static_cast<MailDirection>(7);
    const CMailArchive::StoreResult result = archive.Store({Mail("a@x", "2026-01-01T00:00:00", "one"), broken});
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.stored, 0);
    EXPECT_TRUE(Bodies().empty());
}

TEST_F(MailArchiveTest, HistoryFollowsAnAddressChangeAndMergesWithAnExistingOne) {
    archive.Store({Mail("old@x", "2026-01-01T00:00:00", "a", "m1"), Mail("old@x", "2026-01-02T00:00:00", "b", "m2")});
    archive.SetPalQuietDays("old@x", 14);
    archive.ChangePalAddress("old@x", "new@x");
    EXPECT_EQ(Bodies("new@x"), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(archive.MailCount("old@x").value, 0);
    EXPECT_EQ(archive.PalQuietDays("new@x").value, 14);

    archive.Store(
        {Mail("third@x", "2026-01-03T00:00:00", "c", "m3"), Mail("third@x", "2026-01-01T00:00:00", "a", "m1")});
    archive.ChangePalAddress("new@x", "third@x");
    EXPECT_EQ(Bodies("third@x"), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(archive.Mails("", "b").value.size(), 1u) << "the moved mail is still found by search";
}

TEST_F(MailArchiveTest, APalsRecordFollowsItsAddressAndGoesWithItsMails) {
    const PalCard card{"5f0c-uid",
                       "20260101T000000Z",
                       "やまだ",
                       "ゆき",
                       {{1, "Émilie"}, {7, "République"}},
                       "--0821",
                       "060-0001",
                       {"more@x", "most@x"},
                       {"03-1", "03-2"},
                       "/book/a.vcf",
                       "\"e1\""};
    archive.WritePalCard("old@x", card);
    EXPECT_EQ(archive.ReadPalCard("old@x").value, card);
    archive.ChangePalAddress("old@x", "new@x");
    EXPECT_EQ(archive.ReadPalCard("old@x").value, std::nullopt);
    EXPECT_EQ(archive.ReadPalCard("new@x").value, card);
    // Into an address with mails of its own: the record goes along; one of its own stays.
    archive.Store({Mail("third@x", "2026-01-03T00:00:00", "c", "m3")});
    archive.ChangePalAddress("new@x", "third@x");
    EXPECT_EQ(archive.ReadPalCard("third@x").value, card);
    PalCard shorter = card;
    shorter.originals.clear();
    shorter.extraPhones = {"090"};
    archive.WritePalCard("third@x", shorter);
    EXPECT_EQ(archive.ReadPalCard("third@x").value, shorter) << "a rewrite leaves no old values behind";
    archive.DeletePalMails("third@x");
    EXPECT_EQ(archive.ReadPalCard("third@x").value, std::nullopt);
}

TEST_F(MailArchiveTest, OwnAddressesAndIntervalsStayInTheFile) {
    archive.SetOwnAddresses({"me@example.jp", "ME@example.jp", "", "me@mobile.jp"});
    archive.SetDefaultQuietDays(30);
    archive.Close();
    ASSERT_EQ(archive.Open(file, true).status, CMailArchive::OpenStatus::Opened);
    EXPECT_EQ(archive.OwnAddresses().value, (std::vector<std::string>{"me@example.jp", "me@mobile.jp"}));
    EXPECT_EQ(archive.DefaultQuietDays().value, 30);
}

// A value in the file that no version of the program wrote, planted beside it: reported
// as damaged, with what the program uses in its place; never thrown.
struct DamagedSettingCase {
    const char* name;
    const char* sql;
    ArchiveStatus::Kind kind;
    int forAll;   // the interval for all that is used
    int palDays;  // the interval a@x gets in the queue's dates
};

class DamagedSetting : public MailArchiveTest, public testing::WithParamInterface<DamagedSettingCase> {};

TEST_P(DamagedSetting, IsReportedAndTheDefaultServes) {
    const DamagedSettingCase& c = GetParam();
    ASSERT_TRUE(archive.Store({Mail("a@x", "2026-01-01T00:00:00", "こんにちは", "1@x")}).Ok());
    RunSql(file, c.sql);
    const ArchiveResult<int> forAll = archive.DefaultQuietDays();
    EXPECT_EQ(forAll.value, c.forAll);
    const ArchiveResult<std::vector<PalMailDates>> dates = archive.MailDates({"a@x"});
    EXPECT_EQ(dates.kind, c.kind) << dates.error;
    ASSERT_EQ(dates.value.size(), 1u);
    EXPECT_EQ(dates.value[0].newestReceived, "2026-01-01T00:00:00");
    EXPECT_EQ(dates.value[0].quietDays, c.palDays);
    EXPECT_EQ(archive.MailDates({"a@x"}, 9).value[0].quietDays, 9) << "a given interval needs none stored";
    // Setting it again repairs it.
    ASSERT_TRUE(archive.SetDefaultQuietDays(20).Ok());
    ASSERT_TRUE(archive.SetPalQuietDays("a@x", std::nullopt).Ok());
    EXPECT_TRUE(archive.MailDates({"a@x"}).Ok());
}

constexpr auto kOk = ArchiveStatus::Kind::Ok;
constexpr auto kDamaged = ArchiveStatus::Kind::DamagedValue;

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedSetting,
    testing::Values(
        DamagedSettingCase{"Sound", "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', '30')", kOk, 30, 30},
        DamagedSettingCase{"NotANumber", "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', 'abc')",
                           kDamaged, 60, 60},
        DamagedSettingCase{"TextAfterTheNumber",
                           "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', '12abc')", kDamaged, 60, 60},
        DamagedSettingCase{"Zero", "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', '0')", kDamaged, 60,
                           60},
        DamagedSettingCase{"Negative", "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', '-5')", kDamaged,
                           60, 60},
        DamagedSettingCase{"BeyondAnInt",
                           "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', '99999999999')", kDamaged, 60,
                           60},
        DamagedSettingCase{"PalIntervalNotANumber", "UPDATE pals SET quiet_days = 'x'", kDamaged, 60, 60},
        DamagedSettingCase{"PalIntervalTooLong", "UPDATE pals SET quiet_days = 100000", kDamaged, 60, 60},
        DamagedSettingCase{"PalIntervalAsDigits", "UPDATE pals SET quiet_days = '15'", kOk, 60, 15}),
    [](const testing::TestParamInfo<DamagedSettingCase>& info) { return std::string(info.param.name); });

struct FilingCase {
    const char* name;
    std::string from;
    std::vector<std::string> to, cc;
    std::vector<std::string> expected;  // "pal direction"
};

class MailFiling : public testing::TestWithParam<FilingCase> {};

TEST_P(MailFiling, FilesUnderEachPalWithItsDirection) {
    const std::vector<std::string> pals = {"hana@example.jp", "taro@example.jp"};
    const FindPalFn findPal = [&](std::string_view address) -> std::optional<std::string> {
        for (const std::string& pal : pals)
            if (SameAddress(pal, address)) return pal;
        return std::nullopt;
    };
    MailRecord mail;
    mail.from = GetParam().from;
    mail.to = GetParam().to;
    mail.cc = GetParam().cc;
    std::vector<std::string> filed;
    for (const MailRecord& m : FileMail(mail, {"me@home.jp", "me@mobile.jp"}, findPal))
        filed.push_back(m.pal + (m.direction == MailDirection::Sent ? " sent" : " received"));
    EXPECT_EQ(filed, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MailFiling,
    testing::Values(
        FilingCase{"FromAPal", "hana@example.jp", {"me@home.jp"}, {}, {"hana@example.jp received"}},
        FilingCase{"FromAPalInOtherCase", "HANA@Example.JP", {"me@home.jp"}, {}, {"hana@example.jp received"}},
        FilingCase{"FromAStranger", "who@else.jp", {"me@home.jp"}, {}, {}},
        FilingCase{"SentToTwoPals",
                   "me@home.jp",
                   {"hana@example.jp"},
                   {"taro@example.jp", "me@mobile.jp"},
                   {"hana@example.jp sent", "taro@example.jp sent"}},
        FilingCase{"SentFromOwnAddressInOtherCase", "Me@Mobile.jp", {"taro@example.jp"}, {}, {"taro@example.jp sent"}},
        FilingCase{"SentToAPalTwice", "me@home.jp", {"hana@example.jp"}, {"hana@example.jp"}, {"hana@example.jp sent"}},
        FilingCase{"SentToNoPal", "me@home.jp", {"who@else.jp", "me@mobile.jp"}, {}, {}}),
    [](const testing::TestParamInfo<FilingCase>& info) { return info.param.name; });

struct DamageCase {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    bool foundAtOpen;  // or only by the full check, which runs apart from the open
};

class DamagedArchive : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedArchive, IsMovedAsideAndRebuilt) {
    TempDir dir;
    const fs::path file = dir / "p.mails.sqlite";
    {
        CMailArchive first;
        first.Open(file, false);
        std::vector<MailRecord> many;
        for (int i = 0; i < 300; ++i)
            many.push_back(
                Mail("a@x", "2026-01-01T00:00:00", std::string(2000, char('a' + i % 26)) + std::to_string(i)));
        first.Store(many);
    }
    GetParam().spoil(file);
    const std::string spoiled = ReadFileBytes(file);

    CMailArchive archive;
    CMailArchive::OpenResult result = archive.Open(file, false);
    if (!GetParam().foundAtOpen) {
        ASSERT_EQ(result.status, CMailArchive::OpenStatus::Opened) << result.error;
        CMailArchive::CheckStop running;
        ASSERT_EQ(CMailArchive::CheckFile(file, running), CMailArchive::CheckResult::Damaged);
        result = archive.Rebuild();
    }
    ASSERT_EQ(result.status, CMailArchive::OpenStatus::Rebuilt) << result.error;
    ASSERT_EQ(DamagedCopies(dir.path()), std::vector<fs::path>{result.movedAside});
    EXPECT_TRUE(ReadFileBytes(result.movedAside) == spoiled) << "the damaged file is kept as it was";
    EXPECT_TRUE(archive.Store({Mail("a@x", "2026-01-01T00:00:00", "after")}).Ok());
    EXPECT_EQ(archive.MailCount("a@x").value, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedArchive,
                         testing::Values(DamageCase{"NotSqliteAtAll",
                                                    [](const fs::path& f) {
                                                        fs::remove(f.string() + "-wal");
                                                        WriteFileBytes(f, "YBF 2.00 this is no database at all");
                                                    },
                                                    true},
                                         DamageCase{"PagesOverwritten",
                                                    [](const fs::path& f) {
                                                        std::string bytes = ReadFileBytes(f);
                                                        ASSERT_GT(bytes.size(), 40000u);
                                                        for (std::size_t i = 8192; i < bytes.size(); i += 4096)
                                                            bytes.replace(i + 100, 200, std::string(200, '\xA5'));
                                                        WriteFileBytes(f, bytes);
                                                    },
                                                    false},
                                         DamageCase{"AnotherProgramsDatabase",
                                                    [](const fs::path& f) {
                                                        fs::remove(f);
                                                        fs::remove(f.string() + "-wal");
                                                        fs::remove(f.string() + "-shm");
                                                        RunSql(f, "CREATE TABLE notes(text TEXT)");
                                                    },
                                                    true}),
                         [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(ArchiveCheck, AHealthyArchivePassesAndAStoppedCheckFindsNothing) {
    TempDir dir;
    const fs::path file = dir / "p.mails.sqlite";
    CMailArchive archive;
    archive.Open(file, false);
    archive.Store({Mail("a@x", "2026-01-01T00:00:00", "kept")});
    CMailArchive::CheckStop running;
    EXPECT_EQ(CMailArchive::CheckFile(file, running), CMailArchive::CheckResult::Healthy);
    CMailArchive::CheckStop stopped;
    stopped.Stop();
    EXPECT_EQ(CMailArchive::CheckFile(file, stopped), CMailArchive::CheckResult::NotFinished);
    EXPECT_TRUE(archive.CheckDue("2026-12-07"));
    archive.RecordCheck("2026-12-07");
    EXPECT_FALSE(archive.CheckDue("2026-12-07"));
    EXPECT_TRUE(archive.CheckDue("2026-12-08"));
}

TEST(DamagedArchive, ReadOnlyLeavesItWhereItIs) {
    TempDir dir;
    const fs::path file = dir / "p.mails.sqlite";
    WriteFileBytes(file, "garbage");
    CMailArchive archive;
    EXPECT_EQ(archive.Open(file, true).status, CMailArchive::OpenStatus::Failed);
    EXPECT_TRUE(DamagedCopies(dir.path()).empty());
    EXPECT_EQ(ReadFileBytes(file), "garbage");
}

TEST(NewerArchive, IsOpenedReadOnlyAndNeverDowngraded) {
    TempDir dir;
    const fs::path file = dir / "p.mails.sqlite";
    {
        CMailArchive archive;
        archive.Open(file, false);
        archive.Store({Mail("a@x", "2026-01-01T00:00:00", "kept")});
    }
    RunSql(file, "UPDATE schema_version SET version = 99; CREATE TABLE future(x)");
    CMailArchive archive;
    ASSERT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::NewerSchema);
    EXPECT_TRUE(archive.IsReadOnly());
    EXPECT_EQ(archive.Mails("a@x").value.size(), 1u);
    EXPECT_FALSE(archive.Store({Mail("a@x", "2026-01-02T00:00:00", "new")}).Ok());
    archive.Close();
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* version = nullptr;
    sqlite3_prepare_v2(db, "SELECT version FROM schema_version", -1, &version, nullptr);
    ASSERT_EQ(sqlite3_step(version), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(version, 0), 99);
    sqlite3_finalize(version);
    sqlite3_close(db);
    EXPECT_TRUE(DamagedCopies(dir.path()).empty());
}

// Every stored mail is in the full-text index and nothing else is.
void ExpectIndexMatchesMails(const fs::path& file) {
    RunSql(file, "INSERT INTO mails_fts(mails_fts, rank) VALUES ('integrity-check', 1)");
}

TEST(ArchiveMigration, AFirstReleaseArchiveKeepsItsMailsAndIndexesNewOnes) {
    TempDir dir;
    const fs::path file = dir / "p.mails.sqlite";
    {
        // An archive as the first release made it: its tables, and a mail stored its way.
        CSqliteDb db;
        db.Open(file, false, true);
        db.Exec("PRAGMA journal_mode = WAL");
        MigrateSchema(db, 0, 1);
        db.Exec("INSERT INTO pals(address) VALUES ('a@x')");
        CStatement insert(db,
                          "INSERT INTO mails(pal_id, direction, date, subject, body, message_id, source, body_hash, "
                          "folded) VALUES (1, 0, '2025-05-05T00:00:00', '', ?, 'old@x', 'drop', 0, ?)");
        insert.Bind(1, "ｶﾀｶﾅの手紙").Bind(2, "\n" + FoldForSearch("ｶﾀｶﾅの手紙") + "\n\n").Run();
    }
    CMailArchive archive;
    ASSERT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::Opened);
    ASSERT_TRUE(archive
                    .Store({Mail("a@x", "2026-01-01T00:00:00", "かたかなの葉書", "new@x"),
                            Mail("b@x", "2026-01-02T00:00:00", "ABCの手紙")})
                    .Ok());
    const struct {
        const char* search;
        std::size_t found;
    } searches[] = {{"カタカナ", 2}, {"の手紙", 2}, {"手紙", 2}, {"葉書", 1}, {"abc", 1}, {"ひらがな", 0}};
    for (const auto& s : searches) EXPECT_EQ(archive.Mails("", s.search).value.size(), s.found) << s.search;
    ExpectIndexMatchesMails(file);
    archive.DeletePalMails("a@x");
    ExpectIndexMatchesMails(file);
    EXPECT_EQ(archive.Mails("", "カタカナ").value.size(), 0u);
    EXPECT_EQ(archive.Mails("", "手紙").value.size(), 1u);
    PalCard card;
    card.uid = "u";
    archive.WritePalCard("b@x", card);
    EXPECT_EQ(archive.ReadPalCard("b@x").value->uid, "u") << "the records' tables were added";
    archive.Close();
    CSqliteDb db;
    db.Open(file, true, false);
    EXPECT_EQ(ReadSchemaVersion(db), kArchiveSchemaVersion);
}

// New mails wait and reach the index together; a mail deleted while it waits must not be
// taken out of an index that never had it.
TEST(ArchiveIndex, MailsWaitingForTheIndexAreFoundDeletedAndIndexedOnClose) {
    TempDir dir;
    const fs::path file = dir / "p.mails.sqlite";
    CMailArchive archive;
    ASSERT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::Created);
    ASSERT_TRUE(archive.Store({Mail("a@x", "2026-01-01T00:00:00", "葉書が届きました", "1@x")}).Ok());
    EXPECT_EQ(archive.PalsWithText("葉書が").value, std::vector<std::string>{"a@x"}) << "a search indexes them first";
    ASSERT_TRUE(archive
                    .Store({Mail("b@x", "2026-01-02T00:00:00", "手紙が届きました", "2@x"),
                            Mail("c@x", "2026-01-03T00:00:00", "手紙を書きました", "3@x")})
                    .Ok());
    ASSERT_TRUE(archive.DeletePalMails("b@x").Ok());  // waiting still
    archive.Close();
    ExpectIndexMatchesMails(file);
    ASSERT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::Opened);
    EXPECT_EQ(archive.PalsWithText("手紙").value, std::vector<std::string>{"c@x"});
    EXPECT_EQ(archive.Mails("", "届きました").value.size(), 1u);
}

TEST(ArchiveFile, ADirectoryInItsPlaceIsRefused) {
    TempDir dir;
    fs::create_directory(dir / "p.mails.sqlite");
    CMailArchive archive;
    EXPECT_EQ(archive.Open(dir / "p.mails.sqlite", false).status, CMailArchive::OpenStatus::Failed);
}

}  // namespace
