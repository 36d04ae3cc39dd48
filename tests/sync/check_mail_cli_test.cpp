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
    EXPECT_EQ(first.out, "{\"fetched\":2,\"updated\":[\"pal@example.jp\"],\"received\":1,\"sent\":1,\"errors\":[]}\n");
    EXPECT_NE(Cli(Quoted((dir / "pals.ybf").string()), "mails").out.find("\"direction\":\"sent\""), std::string::npos);
    Outcome second = Cli(Imap() + password);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, "{\"fetched\":0,\"updated\":[],\"received\":0,\"sent\":0,\"errors\":[]}\n");
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
        const std::optional<std::string> point = archive.ReadSetting(SyncPointSetting(account, "INBOX", {}).key);
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
        {"a password file that is a folder", data + " --imap " + server->ImapsUrl() + " --password-file " + Quoted(dir.path().string())},
        {"a date that is no date", data + " --imap " + server->ImapsUrl() + password + " --since 2026-13-01"},
        {"an unknown option", data + " --imap " + server->ImapsUrl() + password + " --pop3 x"},
        {"an option without its value", data + " --folder"},
        {"a data file that is not there", Quoted((dir / "none" / "x.ybf").string()) + " --imap " + server->ImapsUrl() + password},
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
    EXPECT_EQ(run.out, "{\"fetched\":3,\"updated\":[\"pal@example.jp\"],\"received\":1,\"sent\":1,\"errors\":[]}\n");
}

}  // namespace
