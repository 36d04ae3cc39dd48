// yubino-cli run as a script would run it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Runs a shell command line; its standard error is collected through a file.
Outcome Shell(const std::string& command, const TempDir& dir) {
    const std::string errFile = (dir / "stderr.txt").string();
    Outcome run;
    FILE* pipe = ::popen((command + " 2>" + Quoted(errFile)).c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFileBytes(errFile);
    return run;
}

Outcome Cli(const std::string& args, const TempDir& dir) { return Shell(Quoted(YUBINO_CLI_PATH) + " " + args, dir); }

bool HavePython() { return std::system("python3 -c pass >/dev/null 2>&1") == 0; }

class CliTest : public testing::Test {
protected:
    std::string WritePals(const std::string& name, int count) {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        for (int i = 0; i < count; ++i) {
            CPenPal pal;
            pal.m_strHandleName = Sjis("ゆびの") + std::to_string(i);
            pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
            pal.m_strLastMailText = Sjis("こんにちは") + "\x08\"quoted\"\\";
            pal.m_dtLastMail = COleDateTime(2003, 4, 5, 6, 7, 8);
            pal.m_nFaceIcon = -1;
            app.AddPal(pal);
        }
        const std::string bytes = WritePalData(app);
        WriteFileBytes(dir / name, bytes);
        return bytes;
    }
    std::string Path(const std::string& name) const { return Quoted((dir / name).string()); }

    TempDir dir;
};

TEST_F(CliTest, RepairOfAFileTheProgramWroteGivesTheSameBytes) {
    const std::string bytes = WritePals("in.ybf", 3);
    Outcome run = Cli("repair " + Path("in.ybf") + " " + Path("out.ybf"), dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(dir / "out.ybf"), bytes);
    EXPECT_NE(run.out.find("3 人"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("最後まで読めました"), std::string::npos) << run.out;
}

TEST_F(CliTest, RepairOfACutFileKeepsWhatWasReadAndTheOriginal) {
    const std::string bytes = WritePals("in.ybf", 3);
    WriteFileBytes(dir / "cut.ybf", bytes.substr(0, bytes.size() - 10));
    Outcome run = Cli("repair " + Path("cut.ybf") + " " + Path("cut.ybf"), dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("2 人"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("途中で終わって"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFileBytes(dir / "cut.ybf.bak"), bytes.substr(0, bytes.size() - 10));
}

TEST_F(CliTest, DumpPrintsJsonThatParses) {
    if (!HavePython()) GTEST_SKIP() << "python3 checks the JSON";
    WritePals("in.ybf", 2);
    Outcome run = Cli("dump " + Path("in.ybf") + " > " + Path("out.json"), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string check =
        "import json,sys; d=json.load(open(sys.argv[1], encoding=\"utf-8\")); p=d[\"pals\"][1]; "
        "print(len(d[\"pals\"]), d[\"complete\"], len(p), p[\"m_strHandleName\"], p[\"m_strLastMailText\"], "
        "p[\"m_dtLastMail\"][\"status\"], p[\"m_dtLastMail\"][\"value\"], p[\"m_nFaceIcon\"], sep=\"|\")";
    Outcome parsed = Shell("python3 -c " + Quoted(check) + " " + Path("out.json"), dir);
    EXPECT_EQ(parsed.status, 0) << parsed.err;
    // Python prints the shortest text that reads back as the same double, as to_chars does.
    char date[32];
    *std::to_chars(date, date + sizeof date - 1, COleDateTime(2003, 4, 5, 6, 7, 8).m_dt).ptr = '\0';
    EXPECT_EQ(parsed.out, "2|True|26|ゆびの1|こんにちは\b\"quoted\"\\|0|" + std::string(date) + "|-1\n");
}

TEST_F(CliTest, DumpMarksACutFileIncomplete) {
    const std::string bytes = WritePals("in.ybf", 2);
    WriteFileBytes(dir / "cut.ybf", bytes.substr(0, bytes.size() - 1));
    Outcome run = Cli("dump " + Path("cut.ybf"), dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"complete\":false"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("読み込めなかったデータがあります"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(".bak"), std::string::npos) << "dump writes nothing, so it keeps no backup: " << run.err;
}

TEST_F(CliTest, RefusedFilesExitWithStatusTwoAndAMessage) {
    WriteFileBytes(dir / "notes.txt", "hello\n");
    for (std::string name : {"notes.txt", "missing.ybf"}) {
        SCOPED_TRACE(name);
        Outcome run = Cli("dump " + Path(name), dir);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(name), std::string::npos) << run.err;
    }
    Outcome wrongArguments = Cli("repair " + Path("notes.txt"), dir);
    EXPECT_EQ(wrongArguments.status, 2);
}

}  // namespace

TEST_F(CliTest, QueueOfAnOldFileCountsDaysSinceItsLastMails) {
    const std::string bytes = WritePals("in.ybf", 2);
    Outcome run = Cli("queue " + Path("in.ybf") + " --today 2003-04-15", dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"waiting\":[{\"pal\":\"pal0@example.jp\",\"since\":\"2003-04-05\",\"days\":10},"
              "{\"pal\":\"pal1@example.jp\",\"since\":\"2003-04-05\",\"days\":10}],\"quiet\":[]}\n");
    run = Cli("queue " + Path("in.ybf") + " --quiet-days 9 --today 2003-04-15", dir);
    EXPECT_NE(run.out.find("\"quiet\":[{\"pal\":\"pal0@example.jp\",\"last\":\"2003-04-05\",\"days\":10},"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFileBytes(dir / "in.ybf"), bytes) << "the data file is never written";
    EXPECT_TRUE(std::filesystem::exists(dir / "in.mails.sqlite"));
}

TEST_F(CliTest, OwnAddressesAreKeptPerDataFile) {
    WritePals("in.ybf", 1);
    WritePals("other.ybf", 1);
    Outcome set = Cli("own-addresses " + Path("in.ybf") + " me@home.jp me@mobile.jp", dir);
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "[\"me@home.jp\",\"me@mobile.jp\"]\n");
    EXPECT_EQ(Cli("own-addresses " + Path("in.ybf"), dir).out, set.out);
    EXPECT_EQ(Cli("own-addresses " + Path("other.ybf"), dir).out, "[]\n");
}

TEST_F(CliTest, MailsPrintsTheSeededLastMailAndSearchesLoosely) {
    WritePals("in.ybf", 2);
    Outcome run = Cli("mails " + Path("in.ybf") + " --pal pal1@example.jp --search ｺﾝﾆﾁﾊ", dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "[{\"pal\":\"pal1@example.jp\",\"direction\":\"received\",\"date\":\"2003-04-05T06:07:08\","
              "\"subject\":\"\",\"body\":\"こんにちは\\n\\\"quoted\\\"\\\\\",\"messageId\":\"\"}]\n");
    EXPECT_EQ(Cli("mails " + Path("in.ybf") + " --search '\"%_* NEAR'", dir).out, "[]\n");
}

TEST_F(CliTest, ArchiveCommandsRefuseWrongArguments) {
    WritePals("in.ybf", 1);
    for (const std::string& args : std::vector<std::string>{"queue " + Path("in.ybf") + " --today 2003-13-01",
                                   "queue " + Path("in.ybf") + " --quiet-days -1", "queue " + Path("in.ybf") + " --today",
                                   "mails " + Path("in.ybf") + " --bogus x", "mails", "own-addresses"}) {
        SCOPED_TRACE(args);
        Outcome run = Cli(args, dir);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
    }
}
