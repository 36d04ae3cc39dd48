// yubino-cli check-mail against a Dovecot of the test's own, run as a script would run it.
#include <gtest/gtest.h>


#include <cstdlib>
#include <filesystem>
#include <memory>

#include "archive/mail_archive.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"
#include "sync/imap_url.h"
#include "sync/sync_state.h"

namespace {

using Outcome = ShellRun;

class CheckMailCliTest : public testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<CDovecotServer>(dir.path());
        ASSERT_TRUE(server->Start()) << server->Log();
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        CPenPal pal;
        pal.m_strHandleName = "pal";
        pal.m_strMailAddress = "pal@example.jp";
        pal.m_strMobileAddress = "pal-mobile@example.ne.jp";
        app.AddPal(pal);
        WriteFileBytes(dir / "pals.ybf", WritePalData(app));
        WritePasswordFile(dir / "password", server->Password() + "\n");
    }

    // Only the user may read it: a password file others can read is refused.
    static void WritePasswordFile(const std::filesystem::path& file, const std::string& text) {
        WriteFileBytes(file, text);
        std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }

    Outcome Cli(const std::string& args, const std::string& command = "check-mail") {
        return RunShell(Quoted(YUBINO_CLI_PATH) + " " + command + " " + args + " 2>/dev/null");
    }
    std::string Imap(const char* dataFile = "pals.ybf") const {
        return Quoted((dir / dataFile).string()) + " --imap " + server->ImapsUrl() + " --ca-file " +
               Quoted(server->CaFile().string()) + " --since 2000-01-01 --me me@example.org --password-file ";
    }

    TempDir dir;
    std::unique_ptr<CDovecotServer> server;
};

TEST_F(CheckMailCliTest, PrintsWhatItFetchedAndNextTimeOnlyWhatIsNew) {
    server->AddMail("", TestMail("pal@example.jp", "me@example.org", 1));
    server->AddMail("", TestMail("stranger@example.com", "me@example.org", 2));
    server->AddMail(CDovecotServer::kSentFolder, TestMail("me@example.org", "pal-mobile@example.ne.jp", 3));
    const std::string password = Quoted((dir / "password").string());
    Outcome first = Cli(Imap() + password);
    EXPECT_EQ(first.status, 0);
    // The pal's mail updates the pal; the stranger's is never fetched.
    EXPECT_EQ(first.out,
              "{\"fetched\":2,\"updated\":[\"pal@example.jp\"],\"received\":1,\"sent\":1,\"errors\":[],"
              "\"folders\":[\"INBOX\",\"送信済み\"]}\n");
    EXPECT_NE(Cli(Quoted((dir / "pals.ybf").string()), "mails").out.find("\"direction\":\"sent\""), std::string::npos);
    Outcome second = Cli(Imap() + password);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out,
              "{\"fetched\":0,\"updated\":[],\"received\":0,\"sent\":0,\"errors\":[],"
              "\"folders\":[\"INBOX\",\"送信済み\"]}\n");
}

// Where an earlier version kept the sync points in a file beside the data file, the check
// takes them over: nothing is fetched again, and the file is gone.
TEST_F(CheckMailCliTest, AnOldStateFileIsTakenOverSoNothingIsFetchedAgain) {
    server->AddMail("", TestMail("pal@example.jp", "me@example.org", 1));
    const std::string password = Quoted((dir / "password").string());
    ASSERT_EQ(Cli(Imap() + password).status, 0);
    std::string lines;
    {
        CMailArchive archive;
        ASSERT_EQ(archive.Open(CMailArchive::PathFor(dir / "pals.ybf"), true).status, CMailArchive::OpenStatus::Opened);
        const std::string account = ImapAccountKey(*ParseImapUrl(server->ImapsUrl()));
        const std::optional<std::string> point = archive.ReadSetting(SyncPointSetting(account, "INBOX", {}).key).value;
        ASSERT_TRUE(point);
        lines = account + "\tINBOX\t" + point->substr(0, point->find(' ')) + "\t" + point->substr(point->find(' ') + 1) + "\n";
    }
    std::filesystem::copy_file(dir / "pals.ybf", dir / "old.ybf");
    WriteFileBytes(dir / "old.mailcheck.tsv", lines);
    Outcome run = Cli(Imap("old.ybf") + password);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"fetched\":0"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "old.mailcheck.tsv"));
}

TEST_F(CheckMailCliTest, AFailedSourceIsToldInTheJsonAndExitsOne) {
    WritePasswordFile(dir / "wrong", "not-the-password\n");
    Outcome run = Cli(Imap() + Quoted((dir / "wrong").string()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"fetched\":0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("パスワードが違います"), std::string::npos) << run.out;
    // Standard error tells it too, for a script that reads no JSON.
    Outcome told = RunShell(Quoted(YUBINO_CLI_PATH) + " check-mail " + Imap() + Quoted((dir / "wrong").string()) +
                            " 2>&1 >/dev/null");
    EXPECT_NE(told.out.find("パスワードが違います"), std::string::npos) << told.out;
}

TEST_F(CheckMailCliTest, WrongArgumentsExitTwo) {
    const std::string data = Quoted((dir / "pals.ybf").string());
    const std::string password = " --password-file " + Quoted((dir / "password").string());
    struct Case {
        const char* name;
        std::string args;
    };
    const Case cases[] = {
        {"no data file", "--imap " + server->ImapsUrl() + password},
        {"no mailbox", data},
        {"not an IMAP URL", data + " --imap http://x/" + password},
        {"IMAP without a password file", data + " --imap " + server->ImapsUrl()},
        {"a password file that is a folder",
         data + " --imap " + server->ImapsUrl() + " --password-file " + Quoted(dir.path().string())},
        {"a date that is no date", data + " --imap " + server->ImapsUrl() + password + " --since 2026-13-01"},
        {"an unknown option", data + " --imap " + server->ImapsUrl() + password + " --pop3 x"},
        {"an option without its value", data + " --folder"},
        {"a command deadline of no seconds",
         data + " --imap " + server->ImapsUrl() + password + " --command-timeout 0"},
        {"a check deadline that is no number",
         data + " --imap " + server->ImapsUrl() + password + " --check-timeout soon"},
        {"a data file that is not there",
         Quoted((dir / "none" / "x.ybf").string()) + " --imap " + server->ImapsUrl() + password},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome run = Cli(c.args);
        EXPECT_EQ(run.status, 2) << run.out;
        EXPECT_EQ(run.out, "");
    }
}

// A local Maildir is read as a mailbox: the pal's mail updates the pal, a stranger's is left.
// Only the pals' mails count; one from the user's stored own address is a sent mail.
TEST(CheckMailLocalFolderTest, AMaildirIsReadThroughTheMailReaderIntoThePals) {
    TempDir dir;
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    CPenPal pal;
    pal.m_strMailAddress = "pal@example.jp";
    app.AddPal(pal);
    WriteFileBytes(dir / "pals.ybf", WritePalData(app));
    std::filesystem::create_directories(dir / "Mail" / "cur");
    std::filesystem::create_directories(dir / "Mail" / "new");
    WriteFileBytes(dir / "Mail" / "cur" / "1.eml", TestMail("pal@example.jp", "me@example.org", 1));
    WriteFileBytes(dir / "Mail" / "new" / "2.eml", TestMail("stranger@example.com", "me@example.org", 2));
    WriteFileBytes(dir / "Mail" / "cur" / "3.eml", TestMail("me@example.org", "pal@example.jp", 3));
    ASSERT_EQ(std::system((Quoted(YUBINO_CLI_PATH) + " own-addresses " + Quoted((dir / "pals.ybf").string()) +
                           " me@example.org >/dev/null 2>&1")
                              .c_str()),
              0);
    const ShellRun run = RunShell(Quoted(YUBINO_CLI_PATH) + " check-mail " + Quoted((dir / "pals.ybf").string()) +
                                  " --maildir " + Quoted((dir / "Mail").string()) + " 2>/dev/null");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "{\"fetched\":3,\"updated\":[\"pal@example.jp\"],\"received\":1,\"sent\":1,\"errors\":[],"
              "\"folders\":[]}\n");
}

// A new UIDVALIDITY fetches the folders again; mails the archive holds already are no
// news, received or sent.
TEST_F(CheckMailCliTest, AFolderFetchedAgainAfterANewUidValidityCountsNothingNew) {
    server->AddMail("", TestMail("pal@example.jp", "me@example.org", 1));
    server->AddMail(CDovecotServer::kSentFolder, TestMail("me@example.org", "pal@example.jp", 2));
    const std::string password = Quoted((dir / "password").string());
    ASSERT_EQ(Cli(Imap() + password).status, 0);
    server->Stop();
    server->RenewUidValidity("");
    server->RenewUidValidity(CDovecotServer::kSentFolder);
    ASSERT_TRUE(server->Start()) << server->Log();
    Outcome again = Cli(Imap() + password);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out,
              "{\"fetched\":2,\"updated\":[],\"received\":0,\"sent\":0,\"errors\":[],"
              "\"folders\":[\"INBOX\",\"送信済み\"]}\n");
}

// Killed at any point (SIGKILL, no chance to save), then run again: every pal ends as
// one uninterrupted check leaves it, though the killed runs kept mails and sync points.
TEST_F(CheckMailCliTest, ACheckKilledAtAnyPointThenRunAgainLeavesThePalsExact) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    for (int p = 0; p < 4; ++p) {
        CPenPal pal;
        pal.m_strHandleName = "pal" + std::to_string(p);
        pal.m_strMailAddress = "pal" + std::to_string(p) + "@example.jp";
        pal.m_dtFirstMail = pal.m_dtLastMail = COleDateTime(2026, 6, 1);
        app.AddPal(pal);
    }
    for (const char* name : {"ref.ybf", "cut.ybf"}) WriteFileBytes(dir / name, WritePalData(app));
    // Dates out of order, so that the last mail of each pal is not simply the last one fetched.
    for (int i = 1; i <= 300; ++i) {
        const int day = 1 + (i * 7) % 28;
        server->AddMail("", "From: PAL" + std::to_string(i % 5) + "@Example.JP\r\nTo: me@example.org\r\nSubject: m" +
                                std::to_string(i) + "\r\nDate: " + std::to_string(day) +
                                " Nov 2026 10:00:00 +0900\r\nMessage-ID: <" + std::to_string(i) +
                                "@kill.example>\r\n\r\nmail " + std::to_string(i) + "\r\n");
    }
    const std::string password = Quoted((dir / "password").string());
    ASSERT_EQ(Cli(Imap("ref.ybf") + password).status, 0);
    // However fast the machine, some of these land inside the check.
    for (const char* after : {"0.05", "0.1", "0.15", "0.2", "0.3", "0.4", "0.6", "0.8", "1", "1.5"})
        RunShell("timeout -s KILL " + std::string(after) + " " + Quoted(YUBINO_CLI_PATH) + " check-mail " +
                 Imap("cut.ybf") + password + " >/dev/null 2>&1");
    Outcome last = Cli(Imap("cut.ybf") + password);
    EXPECT_EQ(last.status, 0) << last.out;
    const Outcome reference = Cli(Quoted((dir / "ref.ybf").string()), "dump");
    const Outcome resumed = Cli(Quoted((dir / "cut.ybf").string()), "dump");
    ASSERT_NE(reference.out.find("mail "), std::string::npos) << reference.out;
    EXPECT_EQ(resumed.out, reference.out);
}

}  // namespace
