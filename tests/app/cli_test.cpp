// yubino-cli run as a script would run it.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/mail_archive.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/resident_pals.h"
#include "support/temp_dir.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line; its standard error is collected through a file.
Outcome Shell(const std::string& command, const TempDir& dir) {
    const std::string errFile = (dir / "stderr.txt").string();
    const ShellRun shell = RunShell(command + " 2>" + Quoted(errFile));
    return {shell.status, shell.out, ReadFileBytes(errFile)};
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

TEST_F(CliTest, RepairOfACutFileWritesWhatWasReadAndLeavesTheOriginal) {
    const std::string bytes = WritePals("in.ybf", 3);
    WriteFileBytes(dir / "cut.ybf", bytes.substr(0, bytes.size() - 10));
    Outcome run = Cli("repair " + Path("cut.ybf") + " " + Path("new.ybf"), dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("2 人"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("途中で終わって"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFileBytes(dir / "cut.ybf"), bytes.substr(0, bytes.size() - 10));
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

// Runs python3 with `script` (argv[1] is the JSON file) and returns what it prints.
Outcome CheckJson(const std::string& script, const std::string& jsonFile, const TempDir& dir) {
    return Shell("python3 -c " + Quoted(script) + " " + jsonFile, dir);
}

std::string MakeMails(const std::string& args) { return "python3 " + Quoted(MAKE_MAILS_PY) + " " + args; }

// Mail i of make_mails.py's mailboxes comes from pal(i % 20), i hours after 2020-01-01 00:00 in Japan.
TEST_F(CliTest, TakeMailReadsTenThousandMailsFromAnMboxAndFromAMaildir) {
    if (!HavePython()) GTEST_SKIP() << "python3 writes the mailboxes";
    WritePals("pals.ybf", 10);
    ASSERT_EQ(std::system(MakeMails("mbox " + Path("inbox.mbox") + " 10000").c_str()), 0);
    Outcome run = Shell("TZ=Asia/Tokyo " + Quoted(YUBINO_CLI_PATH) + " take-mail " + Path("pals.ybf") + " " +
                            Path("inbox.mbox") + " > " + Path("out.json"),
                        dir);
    ASSERT_EQ(run.status, 0) << run.err;
    Outcome summary = CheckJson(
        "import json,sys; d=json.load(open(sys.argv[1])); "
        "print(d[\"read\"], len(d[\"updated\"]), d[\"added\"], sorted(d[\"unknown\"])[:2], d[\"failed\"])",
        Path("out.json"), dir);
    EXPECT_EQ(summary.out, "10000 10 [] ['pal10@example.jp', 'pal11@example.jp'] []\n") << summary.err;

    // pal3's newest mail is mail 9983; its body's "From " line was quoted in the mbox.
    Cli("dump " + Path("pals.ybf") + " > " + Path("dump.json"), dir);
    Outcome pal3 = CheckJson(
        "import json,sys; p=json.load(open(sys.argv[1]))[\"pals\"][3]; "
        "print(p[\"m_strLastMailText\"].split(\"\\b\")[:2], p[\"m_dtLastMail\"][\"value\"])",
        Path("dump.json"), dir);
    char date[32];
    *std::to_chars(date, date + sizeof date - 1, COleDateTime(2020, 1, 1).m_dt + 9983 / 24.0).ptr = '\0';
    EXPECT_EQ(pal3.out.substr(0, pal3.out.find(']') + 1), "['メール 9983 通目です。', 'From the station, with love.']");
    EXPECT_NEAR(std::stod(pal3.out.substr(pal3.out.find(']') + 2)), std::stod(date), 1e-6);

    WritePals("empty.ybf", 0);
    ASSERT_EQ(std::system(MakeMails("maildir " + Path("Maildir") + " 10000").c_str()), 0);
    run = Shell("TZ=Asia/Tokyo " + Quoted(YUBINO_CLI_PATH) + " take-mail " + Path("empty.ybf") + " --add-new " +
                    Path("Maildir") + " > " + Path("out.json"),
                dir);
    ASSERT_EQ(run.status, 0) << run.err;
    summary = CheckJson(
        "import json,sys; d=json.load(open(sys.argv[1])); print(d[\"read\"], len(d[\"added\"]), d[\"unknown\"])",
        Path("out.json"), dir);
    EXPECT_EQ(summary.out, "10000 20 []\n") << summary.err;
    Cli("dump " + Path("empty.ybf") + " > " + Path("dump.json"), dir);
    char first[32], last[32];
    *std::to_chars(first, first + sizeof first - 1, COleDateTime(2020, 1, 1).m_dt).ptr = '\0';
    *std::to_chars(last, last + sizeof last - 1, COleDateTime(2020, 1, 1).m_dt + 9980 / 24.0).ptr = '\0';
    Outcome added = CheckJson(
        "import json,sys; p=json.load(open(sys.argv[1]))[\"pals\"]; "
        "q=[x for x in p if x[\"m_strMailAddress\"]==\"pal0@example.jp\"][0]; "
        "print(len(p), q[\"m_strHandleName\"], abs(q[\"m_dtFirstMail\"][\"value\"] - float(sys.argv[2])) < 1e-6, "
        "abs(q[\"m_dtLastMail\"][\"value\"] - float(sys.argv[3])) < 1e-6)",
        Path("dump.json") + " " + first + " " + last, dir);
    EXPECT_EQ(added.out, "20 友達0 True True\n") << added.err;
}

// --add-new adds the senders no pal has and keeps their mails; the user's own address is
// never one of them, and his mails are kept as sent. Letter case finds the pal.
TEST_F(CliTest, TakeMailAddNewKeepsTheAddedSendersMailsAndNeverAddsTheUser) {
    if (!HavePython()) GTEST_SKIP() << "python3 checks the JSON";
    WritePals("pals.ybf", 1);
    auto eml = [&](const std::string& name, const std::string& from, const std::string& to, int day) {
        WriteFileBytes(dir / name, "From: " + from + "\nTo: " + to + "\nSubject: s" + std::to_string(day) +
                                       "\nMessage-ID: <" + name + "@x>\nDate: " + std::to_string(day) +
                                       " Mar 2024 10:00:00 +0900\n\nbody " + name + "\n");
        return " " + Path(name);
    };
    const std::string paths = eml("a.eml", "PAL0@EXAMPLE.JP", "me@example.org", 1) +
                              eml("b.eml", "Me <me@example.org>", "pal0@example.jp", 2) +
                              eml("c.eml", "Jiro <jiro@example.jp>", "me@example.org", 3) +
                              eml("d.eml", "jiro@example.jp", "me@example.org", 4);
    Outcome run =
        Cli("take-mail " + Path("pals.ybf") + " --add-new --me me@example.org" + paths + " > " + Path("out.json"), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    Outcome summary = CheckJson(
        "import json,sys; d=json.load(open(sys.argv[1])); print(d[\"read\"], d[\"stored\"], d[\"added\"], "
        "d[\"unknown\"], d[\"updated\"])",
        Path("out.json"), dir);
    EXPECT_EQ(summary.out, "4 4 ['jiro@example.jp'] [] ['pal0@example.jp']\n") << summary.err;
    Cli("mails " + Path("pals.ybf") + " > " + Path("mails.json"), dir);
    Outcome mails = CheckJson(
        "import json,sys; m=json.load(open(sys.argv[1])); "
        "print(sorted((x[\"pal\"], x[\"direction\"], x[\"subject\"]) for x in m if x[\"subject\"]))",
        Path("mails.json"), dir);
    EXPECT_EQ(mails.out,
              "[('jiro@example.jp', 'received', 's3'), ('jiro@example.jp', 'received', 's4'), "
              "('pal0@example.jp', 'received', 's1'), ('pal0@example.jp', 'sent', 's2')]\n")
        << mails.err;
}

TEST_F(CliTest, TakeMailListsEveryUnreadablePathAndExitsOneWhenNothingWasRead) {
    if (!HavePython()) GTEST_SKIP() << "python3 checks the JSON";
    WritePals("pals.ybf", 1);
    WriteFileBytes(dir / "empty.eml", "");
    WriteFileBytes(dir / "program.bin", std::string("\x7f"
                                                    "ELF\x02\x01\x01\0\0\0",
                                                    10));
    WriteFileBytes(dir / "photo.eml", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    WriteFileBytes(dir / "no-from-line.mbox", "Subject: hello\n\nno sender anywhere\n");
    WriteFileBytes(dir / "no-domain.eml", "From: Hanako <hanako>\nTo: taro@example.jp\n\nbody\n");
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe.eml").c_str(), 0600), 0);
    const std::string bad[] = {"empty.eml",     "program.bin", "photo.eml", "no-from-line.mbox",
                               "no-domain.eml", "folder",      "pipe.eml",  "missing.eml"};
    std::string paths;
    for (const std::string& name : bad) paths += " " + Path(name);
    Outcome run = Cli("take-mail " + Path("pals.ybf") + paths + " > " + Path("out.json"), dir);
    EXPECT_EQ(run.status, 1) << run.err;
    Outcome failed = CheckJson(
        "import json,sys,os; d=json.load(open(sys.argv[1])); "
        "print(d[\"read\"], *[os.path.basename(f[\"path\"]) + \": \" + f[\"reason\"] for f in d[\"failed\"]], "
        "sep=\"\\n\")",
        Path("out.json"), dir);
    EXPECT_EQ(failed.out,
              "0\n"
              "empty.eml: メールのファイルではありません\n"
              "program.bin: メールのファイルではありません\n"
              "photo.eml: メールのファイルではありません\n"
              "no-from-line.mbox: メールのファイルではありません\n"
              "no-domain.eml: メールアドレスを取得できませんでした\n"
              "folder: メールのファイルではありません\n"
              "pipe.eml: 通常のファイルでもフォルダでもありません\n"
              "missing.eml: 開けません\n")
        << failed.err;
}

TEST_F(CliTest, TakeMailRefusesWrongArgumentsAndAFileThatIsNoPalData) {
    WriteFileBytes(dir / "notes.txt", "hello\n");
    WriteFileBytes(dir / "mail.eml", "From: a@example.jp\n\nbody\n");
    EXPECT_EQ(Cli("take-mail " + Path("notes.txt"), dir).status, 2);
    Outcome refused = Cli("take-mail " + Path("notes.txt") + " " + Path("mail.eml"), dir);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(ReadFileBytes(dir / "notes.txt"), "hello\n");
}

TEST_F(CliTest, ParseMailReadsAnInternetMessageWithItsTimeOfDay) {
    WriteFileBytes(
        dir / "mail.eml",
        "From: =?ISO-2022-JP?B?GyRCMlY7UhsoQg==?= <hanako@example.jp>\nDate: Tue, 5 Mar 2024 21:04:05 +0900\n"
        "Content-Type: text/plain; charset=ISO-2022-JP\n\n\x1b$B$3$s$K$A$O\x1b(B\nhttps://hanako.example.jp/\n");
    Outcome run = Shell("TZ=Asia/Tokyo " + Quoted(YUBINO_CLI_PATH) + " parse-mail " + Path("mail.eml"), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"m_strHandleName\":\"花子\""), std::string::npos) << run.out;
    const std::size_t value = run.out.find("\"value\":");
    ASSERT_NE(value, std::string::npos) << run.out;
    EXPECT_NEAR(std::stod(run.out.substr(value + 8)), COleDateTime(2024, 3, 5, 21, 4, 5).m_dt, 1e-6) << run.out;
    EXPECT_NE(run.out.find("\"m_strLastMailText\":\"こんにちは\\bhttps://hanako.example.jp/\\b\""), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"m_strHomePage\":\"https://hanako.example.jp/\""), std::string::npos) << run.out;
}

TEST_F(CliTest, PlacePutsPalsWithoutAMapWhereTheyLiveAndSaves) {
    WriteResidentPals(dir / "pals.ybf");
    const std::string before = ReadFileBytes(dir / "pals.ybf");

    Outcome dry = Cli("place " + Path("pals.ybf") + " --dry-run", dir);
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), before) << "a dry run writes nothing";

    Outcome run = Cli("place " + Path("pals.ybf"), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dry.out);
    EXPECT_NE(run.out.find(R"({"pal":"pal0@example.jp","residence":"東京都港区","map":"関東","x":)"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(R"({"pal":"pal2@example.jp","residence":"Paris","map":"世界","x":)"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("pal1@"), std::string::npos) << "no place for a secret: " << run.out;
    EXPECT_EQ(run.out.find("pal3@"), std::string::npos) << "a pal on a map stays: " << run.out;

    FakeUserInterface quiet;
    CYubinoApp saved(quiet);
    ReadPalData(saved, ReadFileBytes(dir / "pals.ybf"));
    ASSERT_EQ(saved.GetPalCount(), 4);
    EXPECT_EQ(saved.Pals()[0].m_strMapName, Sjis("関東"));
    EXPECT_EQ(saved.Pals()[1].m_strMapName, "");
    EXPECT_EQ(saved.Pals()[3].m_strMapName, Sjis("九州"));

    EXPECT_EQ(Cli("place " + Path("pals.ybf"), dir).out, "[]\n") << "everyone known is placed";
    Outcome all = Cli("place " + Path("pals.ybf") + " --all", dir);
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find(R"({"pal":"pal3@example.jp","residence":"北海道札幌市","map":"北海道","x":)"),
              std::string::npos)
        << all.out;
    EXPECT_NE(all.out.find(run.out.substr(1, run.out.find('}'))), std::string::npos) << "placed again, not moved";
}

TEST_F(CliTest, PlaceRefusesWrongArguments) {
    WriteResidentPals(dir / "pals.ybf");
    for (const std::string& args :
         std::vector<std::string>{"place", "place --all", "place " + Path("pals.ybf") + " --everyone",
                                  "place " + Path("pals.ybf") + " " + Path("pals.ybf")}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(Cli(args, dir).status, 2);
    }
}

// The chart command draws without a display: the test runs it with none.
TEST_F(CliTest, ChartDrawsEachKindAsPngOrSvgWithoutADisplay) {
    WriteResidentPals(dir / "pals.ybf");
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    for (std::string kind : {"sex", "age", "maps", "first-year"}) {
        SCOPED_TRACE(kind);
        Outcome png = Shell(noDisplay + Quoted(YUBINO_CLI_PATH) + " chart " + Path("pals.ybf") + " --kind " + kind +
                                " --out " + Path(kind + ".png"),
                            dir);
        ASSERT_EQ(png.status, 0) << png.err;
        const std::string bytes = ReadFileBytes(dir / (kind + ".png"));
        ASSERT_GT(bytes.size(), 24u);
        EXPECT_EQ(bytes.substr(1, 3), "PNG");
        EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xb8", 8)) << "640 x 440";
        Outcome svg = Cli("chart " + Path("pals.ybf") + " --out " + Path(kind + ".svg") + " --kind " + kind, dir);
        ASSERT_EQ(svg.status, 0) << svg.err;
        EXPECT_NE(ReadFileBytes(dir / (kind + ".svg")).find("<svg"), std::string::npos);
    }
}

// The mail charts read the archive beside the data file and leave it as it was.
TEST_F(CliTest, ChartDrawsTheMailChartsFromTheArchiveWithoutWritingIt) {
    WriteResidentPals(dir / "pals.ybf");
    const std::filesystem::path archiveFile = dir / "pals.mails.sqlite";
    {
        CMailArchive archive;
        ASSERT_EQ(archive.Open(archiveFile, false).status, CMailArchive::OpenStatus::Created);
        std::vector<MailRecord> mails(2);
        for (int days : {0, 3}) {
            MailRecord& mail = mails[days ? 1 : 0];
            mail.pal = "pal0@example.jp";
            mail.direction = days ? MailDirection::Received : MailDirection::Sent;
            mail.date = CalendarDay{CalendarDay::Today().number - days}.Format() + "T09:00:00";
            mail.body = days ? "やあ" : "こんにちは";
        }
        ASSERT_TRUE(archive.Store(mails).Ok());
    }
    const std::string archiveBytes = ReadFileBytes(archiveFile);
    for (std::string kind : {"months", "reply-times"}) {
        SCOPED_TRACE(kind);
        Outcome png = Cli("chart " + Path("pals.ybf") + " --kind " + kind + " --out " + Path(kind + ".png"), dir);
        ASSERT_EQ(png.status, 0) << png.err;
        const std::string bytes = ReadFileBytes(dir / (kind + ".png"));
        ASSERT_GT(bytes.size(), 24u);
        EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xb8", 8)) << "640 x 440";
        Outcome svg = Cli("chart " + Path("pals.ybf") + " --kind " + kind + " --out " + Path(kind + ".svg"), dir);
        ASSERT_EQ(svg.status, 0) << svg.err;
        const std::string text = ReadFileBytes(dir / (kind + ".svg"));
        EXPECT_NE(text.find("<svg"), std::string::npos);
        EXPECT_NE(text.find(kind == "months" ? "月ごとのメール" : "返事までの日数"), std::string::npos);
    }
    EXPECT_EQ(ReadFileBytes(archiveFile), archiveBytes);
}

TEST_F(CliTest, ChartRefusesWhatItCannotDraw) {
    WriteResidentPals(dir / "pals.ybf");
    const struct {
        std::string args;
        int status;
        const char* told;
    } rows[] = {
        {"--kind months --out " + Path("m.png"), 1, "メールの保管ファイル"},
        {"--kind reply-times --out " + Path("r.svg"), 1, "pals.mails.sqlite"},
        {"--kind pies --out " + Path("p.png"), 2, "pies"},
        {"--kind sex", 2, "使い方"},
        {"--kind sex --out " + Path("no-such-folder/s.png"), 1, "保存できませんでした"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        Outcome run = Cli("chart " + Path("pals.ybf") + " " + row.args, dir);
        EXPECT_EQ(run.status, row.status);
        EXPECT_NE(run.err.find(row.told), std::string::npos) << run.err;
    }
    EXPECT_EQ(Cli("chart " + Path("missing.ybf") + " --kind sex --out " + Path("s.png"), dir).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "pals.mails.sqlite")) << "no archive is made to draw a chart";
    EXPECT_FALSE(std::filesystem::exists(dir / "m.png"));
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
              "\"subject\":\"\",\"body\":\"こんにちは\\n\\\"quoted\\\"\\\\\",\"messageId\":\"\","
              "\"snippet\":\"こんにちは \\\"quoted\\\"\\\\\",\"hits\":[[0,5]]}]\n");
    EXPECT_EQ(Cli("mails " + Path("in.ybf") + " --search '\"%_* NEAR'", dir).out, "[]\n");
}

TEST_F(CliTest, QuietDaysForAllAndPerPalDecideTheQueue) {
    WritePals("in.ybf", 2);
    const struct {
        const char* args;
        const char* out;
    } steps[] = {
        {"", "{\"default\":60,\"pals\":[]}"},
        {" 9", "{\"default\":9,\"pals\":[]}"},
        {" --pal pal1@EXAMPLE.jp 30", "{\"pal\":\"pal1@example.jp\",\"days\":30,\"own\":true}"},
        {"", "{\"default\":9,\"pals\":[{\"pal\":\"pal1@example.jp\",\"days\":30}]}"},
        {" --pal pal0@example.jp", "{\"pal\":\"pal0@example.jp\",\"days\":9,\"own\":false}"},
    };
    for (const auto& step : steps) {
        Outcome run = Cli("quiet-days " + Path("in.ybf") + step.args, dir);
        EXPECT_EQ(run.status, 0) << step.args << run.err;
        EXPECT_EQ(run.out, std::string(step.out) + "\n") << step.args;
    }
    // Ten days after the last mails: pal0 follows the 9 days for all, pal1 has 30 of its own.
    Outcome queue = Cli("queue " + Path("in.ybf") + " --today 2003-04-15", dir);
    EXPECT_NE(queue.out.find("\"quiet\":[{\"pal\":\"pal0@example.jp\",\"last\":\"2003-04-05\",\"days\":10}]}"),
              std::string::npos)
        << queue.out;
    EXPECT_EQ(Cli("quiet-days " + Path("in.ybf") + " --pal pal1@example.jp default", dir).out,
              "{\"pal\":\"pal1@example.jp\",\"days\":9,\"own\":false}\n");
    Outcome stranger = Cli("quiet-days " + Path("in.ybf") + " --pal who@else.jp 5", dir);
    EXPECT_EQ(stranger.status, 1);
    EXPECT_NE(stranger.err.find("who@else.jp"), std::string::npos) << stranger.err;
}

// A quiet-days value in the archive that the program never wrote (planted here with SQLite)
// is told on stderr; the commands go on with the default.
TEST_F(CliTest, ADamagedIntervalInTheArchiveIsToldAndTheDefaultServes) {
    WritePals("in.ybf", 2);
    ASSERT_EQ(Cli("quiet-days " + Path("in.ybf") + " --pal pal1@example.jp 30", dir).status, 0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(CMailArchive::PathFor(dir / "in.ybf").c_str(), &db), SQLITE_OK);
    const char* plant =
        "INSERT OR REPLACE INTO settings VALUES ('default_quiet_days', 'abc'); UPDATE pals SET quiet_days = 'x' WHERE "
        "address = 'pal1@example.jp'";
    EXPECT_EQ(sqlite3_exec(db, plant, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    const struct {
        const char* args;
        const char* out;
    } runs[] = {
        {"quiet-days ", "{\"default\":60,\"pals\":[]}\n"},
        {"quiet-days --pal pal1@example.jp ", "{\"pal\":\"pal1@example.jp\",\"days\":60,\"own\":false}\n"},
        {"queue --today 2003-06-15 ",
         "{\"waiting\":[{\"pal\":\"pal0@example.jp\",\"since\":\"2003-04-05\",\"days\":71},{\"pal\":"
         "\"pal1@example.jp\",\"since\":\"2003-04-05\",\"days\":71}],\"quiet\":[{\"pal\":\"pal0@example.jp\","
         "\"last\":\"2003-04-05\",\"days\":71},{\"pal\":\"pal1@example.jp\",\"last\":\"2003-04-05\",\"days\":71}]}\n"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.args);
        Outcome outcome = Cli(std::string(run.args) + Path("in.ybf"), dir);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, run.out);
        EXPECT_NE(outcome.err.find("壊れています"), std::string::npos) << outcome.err;
    }
    // Setting it again repairs it.
    EXPECT_EQ(Cli("quiet-days " + Path("in.ybf") + " 45", dir).out, "{\"default\":45,\"pals\":[]}\n");
    Outcome repaired = Cli("quiet-days " + Path("in.ybf") + " --pal pal1@example.jp default", dir);
    EXPECT_EQ(repaired.out, "{\"pal\":\"pal1@example.jp\",\"days\":45,\"own\":false}\n");
    EXPECT_EQ(Cli("quiet-days " + Path("in.ybf"), dir).err, "");
}

TEST_F(CliTest, ArchiveCommandsRefuseWrongArguments) {
    WritePals("in.ybf", 1);
    for (const std::string& args : std::vector<std::string>{"queue " + Path("in.ybf") + " --today 2003-13-01",
                                   "queue " + Path("in.ybf") + " --quiet-days -1", "queue " + Path("in.ybf") + " --today",
                                   "mails " + Path("in.ybf") + " --bogus x", "mails", "own-addresses",
                                   "quiet-days " + Path("in.ybf") + " 0", "quiet-days " + Path("in.ybf") + " default",
                                   "quiet-days " + Path("in.ybf") + " --pal pal0@example.jp x"}) {
        SCOPED_TRACE(args);
        Outcome run = Cli(args, dir);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
    }
}
