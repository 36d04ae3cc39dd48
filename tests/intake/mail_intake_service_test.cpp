// The one intake: matching, direction, order, the undo step and the result, with and
// without the archive; seed twins and the pal table following the archive.
#include "intake/mail_intake_service.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "archive/archive_schema.h"
#include "archive/pal_archive.h"
#include "archive/parsed_mail_record.h"
#include "archive/sqlite_db.h"
#include "core/table_steps.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kMe = "me@example.org";

ParsedMail Mail(const std::string& from, const std::string& to, int day, const std::string& body,
                const std::string& messageId) {
    std::string text = "From: " + from + "\nTo: " + to + "\nSubject: day " + std::to_string(day) +
                       "\nDate: " + std::to_string(day) + " Mar 2024 10:00:00 +0900\n";
    if (!messageId.empty()) text += "Message-ID: <" + messageId + ">\n";
    const MailReadResult read = ReadInternetMessage(text + "\n" + body + "\n");
    EXPECT_TRUE(read.Ok()) << text;
    return read.mail;
}

class MailIntakeServiceTest : public testing::Test {
protected:
    void SetUp() override {
        // The mails' dates are read in the local time of their writers.
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
        CPenPal hanako;
        hanako.m_strHandleName = Sjis("はなこ");
        hanako.m_strMailAddress = "hanako@example.jp";
        hanako.m_strMobileAddress = "hanako@docomo.example.ne.jp";
        hanako.m_dtFirstMail = COleDateTime(2024, 3, 2);
        hanako.m_dtLastMail = COleDateTime(2024, 3, 2, 10, 0, 0);
        hanako.m_strLastMailText = "stored";
        ASSERT_EQ(app.AddPal(hanako), 1);
        app.SetStepSink([this](PalTableStep&& step) { steps.push_back(std::move(step)); });
    }
    CPenPal Pal(const std::string& address) const {
        CPenPal pal;
        app.FindPalByAddress(address, pal);
        return pal;
    }
    std::vector<StoredMail> Stored(const std::string& pal) {
        CMailArchive archive;
        EXPECT_EQ(archive.Open(CMailArchive::PathFor(dataFile), true).status, CMailArchive::OpenStatus::Opened);
        return archive.Mails(pal).value;
    }

    TempDir dir;
    std::filesystem::path dataFile = dir / "pals.ybf";
    FakeUserInterface ui;
    CYubinoApp app{ui};
    std::vector<PalTableStep> steps;
    CPalArchive archive{app, [this] { return ArchiveDocument{dataFile, false}; }};
};

TEST_F(MailIntakeServiceTest, EveryRoadOfTheTableFollowsTheSameRulesWithOrWithoutAnArchive) {
    for (const bool withArchive : {false, true}) {
        SCOPED_TRACE(withArchive ? "with the archive" : "the table only");
        CMailIntakeService intake(app, withArchive ? &archive : nullptr,
                                  {UnknownSenderPolicy::AddAll, {kMe}, "mail-file"});
        // Case aside, on any of the pal's addresses; the pal's spelling is kept.
        intake.Take(Mail("HANAKO@DOCOMO.Example.NE.JP", kMe, 5, "newer", "a@x"));
        intake.Take(Mail("hanako@example.jp", kMe, 1, "oldest", "b@x"));
        intake.Take(Mail("Hanako <Hanako@Example.JP>", kMe, 3, "between", "c@x"));
        // From the user: sent, never an unknown sender, never a pal.
        intake.Take(Mail(std::string("Me <") + kMe + ">", "hanako@example.jp", 6, "my answer", "d@x"));
        intake.Take(Mail("jiro@example.jp", kMe, 4, "hello", "e@x"));
        intake.Take(Mail("JIRO@example.jp", kMe, 2, "earlier", "f@x"));
        const IntakeResult result = intake.Finish();

        const CPenPal hanako = Pal("hanako@example.jp");
        EXPECT_EQ(hanako.m_strLastMailText, "newer\b");
        EXPECT_EQ(hanako.m_dtLastMail, COleDateTime(2024, 3, 5, 10, 0, 0));
        EXPECT_EQ(hanako.m_dtFirstMail, COleDateTime(2024, 3, 1, 10, 0, 0));
        const CPenPal jiro = Pal("jiro@example.jp");
        EXPECT_EQ(jiro.m_strHandleName, "jiro") << "no display name: the local part";
        EXPECT_EQ(jiro.m_dtFirstMail, COleDateTime(2024, 3, 2, 10, 0, 0));
        EXPECT_EQ(jiro.m_strLastMailText, "hello\b");
        EXPECT_EQ(app.GetPalCount(), 2);
        EXPECT_EQ(result.read, 6);
        EXPECT_EQ(result.sent, 1);
        EXPECT_EQ(result.received, 5);
        EXPECT_EQ(result.palsWithNewMail.size(), 2u);
        EXPECT_EQ(result.addedPals, std::vector<std::string>{"jiro@example.jp"});
        EXPECT_TRUE(result.unknownSenders.empty());
        ASSERT_EQ(steps.size(), 1u) << "one undo step for the run";
        EXPECT_EQ(Utf8(steps[0].name), "メール 6 通の取り込み");
        if (withArchive) {
            EXPECT_EQ(Stored("jiro@example.jp").size(), 2u) << "the added sender's mails are kept";
            EXPECT_EQ(Stored("hanako@example.jp").size(), 5u) << "4 of hers and the seed of her old last mail";
            EXPECT_TRUE(Stored(kMe).empty());
        }
        UndoStep(app, steps[0]);
        EXPECT_EQ(Pal("hanako@example.jp").m_strLastMailText, "stored");
        EXPECT_EQ(app.GetPalCount(), 1);
        steps.clear();
    }
}

TEST_F(MailIntakeServiceTest, TheSameMailsAgainAreNoNewsAndChangeNothing) {
    for (int run = 0; run < 2; ++run) {
        CMailIntakeService intake(app, &archive, {UnknownSenderPolicy::Ignore, {kMe}, "imap"});
        intake.Take(Mail("hanako@example.jp", kMe, 5, "newer", "a@x"));
        intake.Take(Mail(kMe, "hanako@example.jp", 6, "sent", "b@x"), {"imap", true});
        intake.Take(Mail("stranger@example.com", kMe, 7, "who?", "c@x"));
        const IntakeResult result = intake.Finish();
        EXPECT_EQ(result.received, run == 0 ? 1 : 0);
        EXPECT_EQ(result.sent, run == 0 ? 1 : 0);
        EXPECT_EQ(result.duplicates, run == 0 ? 0 : 2);
        EXPECT_EQ(result.updatedPals.size(), run == 0 ? 1u : 0u);
        ASSERT_EQ(result.unknownSenders.size(), 1u);
        EXPECT_TRUE(Stored("stranger@example.com").empty()) << "ignored senders' mails are not kept";
    }
}

TEST_F(MailIntakeServiceTest, MailsKeptByARunCutOffReachThePalsAtTheNextRun) {
    // A check killed after keeping the mail in the archive, before the pals were updated.
    ASSERT_TRUE(archive.TakeIn({ArchiveRecordOf(Mail("hanako@example.jp", kMe, 9, "late news", "a@x"), "imap")}).Ok());
    EXPECT_EQ(Pal("hanako@example.jp").m_strLastMailText, "stored");
    const IntakeResult result = CMailIntakeService(app, &archive, {}).Finish();
    EXPECT_EQ(Pal("hanako@example.jp").m_strLastMailText, "late news\b");
    EXPECT_EQ(result.updatedPals, std::vector<std::string>{"hanako@example.jp"});
}

TEST_F(MailIntakeServiceTest, TheDataFilesLastMailIsNeverStoredBesideTheMailItCopies) {
    {
        CMailIntakeService intake(app, &archive, {UnknownSenderPolicy::Ignore, {kMe}, "imap"});
        intake.Take(Mail("hanako@example.jp", kMe, 5, "line one\nline two", "a@x"));
        intake.Finish();
    }
    // Opened again with the table's newer last mail: the seed would be a twin.
    CPalArchive again(app, [this] { return ArchiveDocument{dataFile, false}; });
    ASSERT_TRUE(again.Archive());
    std::vector<std::string> rows;
    for (const StoredMail& stored : Stored("hanako@example.jp"))
        rows.push_back(stored.mail.source + " " + stored.mail.date);
    EXPECT_EQ(rows, (std::vector<std::string>{"imap 2024-03-05T10:00:00", "seed 2024-03-02T10:00:00"}));
}

// A Message-ID names a mail only with its date and text: some programs give one to many.
TEST_F(MailIntakeServiceTest, TwoDifferentMailsUnderOneMessageIdAreBothKept) {
    struct Case {
        const char* name;
        ParsedMail second;
        int stored;  // of both, in the archive
        int duplicates;
    };
    const Case cases[] = {
        {"the same mail read twice", Mail("hanako@example.jp", kMe, 5, "hello", "same@x"), 1, 1},
        {"another text", Mail("hanako@example.jp", kMe, 5, "good night", "text@x"), 2, 0},
        {"another date", Mail("hanako@example.jp", kMe, 8, "hello", "date@x"), 2, 0},
        {"another sender, a pal too", Mail("jiro@example.jp", kMe, 5, "hello", "from@x"), 2, 0},
    };
    CPenPal jiro;
    jiro.m_strHandleName = "jiro";
    jiro.m_strMailAddress = "jiro@example.jp";
    ASSERT_EQ(app.AddPal(jiro), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string id = c.second.messageId;
        const auto count = [&] {
            int n = 0;
            for (const char* pal : {"hanako@example.jp", "jiro@example.jp"})
                for (const StoredMail& stored : Stored(pal)) n += stored.mail.messageId == id;
            return n;
        };
        CMailIntakeService intake(app, &archive, {UnknownSenderPolicy::Ignore, {kMe}, "mail-file"});
        intake.Take(Mail("hanako@example.jp", kMe, 5, "hello", id));
        intake.Take(c.second);
        const IntakeResult result = intake.Finish();
        EXPECT_EQ(result.duplicates, c.duplicates);
        EXPECT_EQ(result.received, c.stored);
        EXPECT_EQ(count(), c.stored);
        // Read again, nothing is new.
        CMailIntakeService again(app, &archive, {UnknownSenderPolicy::Ignore, {kMe}, "mail-file"});
        again.Take(Mail("hanako@example.jp", kMe, 5, "hello", id));
        again.Take(c.second);
        EXPECT_EQ(again.Finish().received, 0);
        EXPECT_EQ(count(), c.stored);
    }
}

// An archive as an earlier release left it: the schema of `version`, holding `rows`.
void WriteOldArchive(const std::filesystem::path& path, int version, const char* rows) {
    CSqliteDb db;
    db.Open(path, false, true);
    MigrateSchema(db, 0, version);
    db.Exec(rows);
}

// An archive made before a Message-ID could name two mails takes the second one after it
// is opened, and keeps what it held.
TEST(ArchiveMigrationTest, AnOldArchiveKeepsItsMailsAndTakesASecondMailUnderTheirMessageId) {
    TempDir dir;
    const std::filesystem::path path = dir / "old.mails.sqlite";
    WriteOldArchive(path, 5, R"sql(INSERT INTO pals(id, address) VALUES (1, 'hanako@example.jp');
        INSERT INTO mails(pal_id, direction, date, subject, body, message_id, source, body_hash, folded)
            VALUES (1, 0, '2024-03-05T10:00:00', 'hi', 'first', 'a@x', 'imap', 0, ''))sql");
    CMailArchive archive;
    ASSERT_EQ(archive.Open(path, false).status, CMailArchive::OpenStatus::Opened);
    MailRecord second;
    second.pal = "hanako@example.jp";
    second.date = "2024-03-06T10:00:00";
    second.body = "second";
    second.messageId = "a@x";
    second.source = "imap";
    const CMailArchive::StoreResult stored = archive.Store({second, second});
    ASSERT_TRUE(stored.Ok()) << stored.error;
    EXPECT_EQ(stored.stored, 1);
    EXPECT_EQ(stored.duplicate, 1);
    std::vector<std::string> bodies;
    for (const StoredMail& mail : archive.Mails("hanako@example.jp").value) bodies.push_back(mail.mail.body);
    EXPECT_EQ(bodies, (std::vector<std::string>{"second", "first"}));
}

TEST(ArchiveMigrationTest, OldSeedTwinsGoAndASeedThatIsTheOnlyCopyStays) {
    TempDir dir;
    const std::filesystem::path path = dir / "old.mails.sqlite";
    WriteOldArchive(path, 2, R"sql(
        INSERT INTO pals(id, address) VALUES (1, 'hanako@example.jp'), (2, 'jiro@example.jp');
        INSERT INTO mails(pal_id, direction, date, subject, body, message_id, source, body_hash, folded)
            VALUES (1, 0, '2024-03-05T10:00:00', 'hi', 'same' || char(13, 10) || 'text', 'a@x', 'imap', 0, ''),
                   (1, 0, '2024-03-05T10:00:00', '', 'same' || char(10) || 'text', '', 'seed', 1, ''),
                   (1, 0, '2024-03-05T10:00:00', '', 'other text', '', 'seed', 2, ''),
                   (2, 0, '2024-03-01T10:00:00', '', 'only copy', '', 'seed', 3, '');
        INSERT INTO mails_fts(rowid, folded) SELECT id, folded FROM mails)sql");
    CMailArchive archive;
    std::vector<int> progress;
    archive.SetMigrationProgress([&](int done, int total) { progress.push_back(total - done); });
    ASSERT_EQ(archive.Open(path, false).status, CMailArchive::OpenStatus::Opened);
    std::vector<std::string> rows;
    for (const StoredMail& stored : archive.Mails().value) rows.push_back(stored.mail.source + " " + stored.mail.body);
    EXPECT_EQ(rows, (std::vector<std::string>{"seed other text", "imap same\r\ntext", "seed only copy"}));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 0);
}

}  // namespace
