// yubino-cli's exit statuses and messages for what a script gets wrong, the commands that
// only read while the window holds the file, and the reply command's mailto URL.
#include <gtest/gtest.h>

#include <regex>

#include "archive/mail_archive.h"
#include "core/yubino_app.h"
#include "storage/file_lock.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class CliArgumentsTest : public testing::Test {
protected:
    void SetUp() override {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        for (const char* address : {"yuki@example.jp", "hana@example.jp"}) {
            CPenPal pal;
            pal.m_strHandleName = Sjis(address[0] == 'y' ? "ゆきうさぎ" : "はな");
            pal.m_strMailAddress = address;
            pal.m_strLastMailText = Sjis("こんにちは。\r\n紅葉を見に行きました。");
            pal.m_dtLastMail = COleDateTime(2003, 4, 5, 6, 7, 8);
            app.AddPal(pal);
        }
        WriteFileBytes(dir / "pals.ybf", WritePalData(app));
        WriteFileBytes(dir / "mail.eml", "From: yuki@example.jp\nSubject: hi\n\nbody\n");
    }
    Outcome Cli(const std::string& args) const {
        const std::string errFile = (dir / "stderr.txt").string();
        const ShellRun run = RunShell("cd " + Quoted(dir.path().string()) + " && " + Quoted(YUBINO_CLI_PATH) + " " +
                                      args + " 2>" + Quoted(errFile));
        return {run.status, run.out, ReadFileBytes(errFile)};
    }
    // Mails beside the seeded ones, straight into the archive the commands made.
    void Store(std::vector<MailRecord> mails) const {
        CMailArchive archive;
        ASSERT_EQ(archive.Open(dir / "pals.mails.sqlite", false).status, CMailArchive::OpenStatus::Opened);
        ASSERT_TRUE(archive.Store(mails).Ok());
    }

    TempDir dir;
};

MailRecord Mail(MailDirection direction, const std::string& date, const std::string& subject, const std::string& body) {
    MailRecord mail;
    mail.pal = "yuki@example.jp";
    mail.direction = direction;
    mail.date = date;
    mail.subject = subject;
    mail.body = body;
    return mail;
}

TEST_F(CliArgumentsTest, WrongArgumentsExitTwoWithTheReason) {
    const struct {
        const char* name;
        const char* args;
        int status;
        const char* told;
    } rows[] = {
        {"UnknownOptionIsNoPath", "take-mail pals.ybf --bogus mail.eml", 2, "不明なオプションです: --bogus"},
        {"UnknownPlaceOption", "place pals.ybf --everyone", 2, "--everyone"},
        {"UnknownImportCsvOption", "import-csv pals.ybf book.csv --lst", 2, "--lst"},
        {"UnknownRepairOption", "repair pals.ybf out.ybf --forse", 2, "--forse"},
        {"UnknownParseMailOption", "parse-mail --utf9", 2, "--utf9"},
        {"UnknownDumpOption", "dump pals.ybf --bogus", 2, "--bogus"},
        {"UnknownChartOption", "chart pals.ybf --kind sex --out s.png --size 2", 2, "--size"},
        {"OptionWithoutItsValue", "export pals.ybf --vcard", 2, "--vcard に値がありません"},
        {"BadVCardVersion", "export pals.ybf --vcard o.vcf --vcard-version 5.0", 2,
         "--vcard-version の値が正しくありません: 5.0"},
        {"BadEncoding", "export pals.ybf --csv o.csv --encoding latin1", 2, "latin1"},
        {"BothExports", "export pals.ybf --csv o.csv --vcard o.vcf", 2, "どちらか一つ"},
        {"ExtraFile", "stats pals.ybf pals.ybf", 2, "引数の数が正しくありません"},
        {"DayThatDoesNotExist", "queue pals.ybf --today 2003-02-30", 2, "--today の値が正しくありません: 2003-02-30"},
        {"NegativeQuietDays", "queue pals.ybf --quiet-days -1", 2, "--quiet-days の値が正しくありません: -1"},
        {"QuietDaysOutOfRange", "quiet-days pals.ybf 0", 2, "N の値が正しくありません: 0"},
        {"OwnAddressThatIsNone", "own-addresses pals.ybf me@home.jp 'not an address'", 2,
         "メールアドレスではありません: not an address"},
        {"OwnAddressWithName", "own-addresses pals.ybf 'Me <me@home.jp>'", 2, "Me <me@home.jp>"},
        {"MeThatIsNoAddress", "take-mail pals.ybf --me nobody mail.eml", 2, "--me の値が正しくありません: nobody"},
        {"ChartExtensionNotWritten", "chart pals.ybf --kind sex --out s.gif", 2, "s.gif"},
        {"ReplyWithoutPal", "reply pals.ybf", 2, "--pal"},
        {"ReplyBadDay", "reply pals.ybf --pal yuki@example.jp --today 2003-13-01", 2, "2003-13-01"},
        {"UnknownCommand", "frobnicate pals.ybf", 2, "不明なコマンドです: frobnicate"},
        {"BackupsOfMissingFile", "backups missing.ybf", 2, "missing.ybf"},
        {"MailsOfMissingFile", "mails missing.ybf", 2, "missing.ybf"},
        {"MailsBadDirection", "mails pals.ybf --search a --direction up", 2, "--direction の値が正しくありません: up"},
        {"MailsBadSince", "mails pals.ybf --search a --since 2003-02-30", 2, "--since の値が正しくありません"},
        {"MailsFilterWithoutSearch", "mails pals.ybf --direction sent", 2, "--search"},
        {"QueueOfMissingFile", "queue missing.ybf", 2, "missing.ybf"},
        {"ReplyOfMissingFile", "reply missing.ybf --pal yuki@example.jp", 2, "missing.ybf"},
        {"ReplyToAStranger", "reply pals.ybf --pal who@else.jp", 1, "who@else.jp"},
    };
    const std::string bytes = ReadFileBytes(dir / "pals.ybf");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome run = Cli(row.args);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(row.told), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir / "s.gif"));
    EXPECT_FALSE(std::filesystem::exists(dir / "pals.mails.sqlite")) << "wrong arguments make no archive";
}

// A search prints each mail found with its snippet and the hits in it, counted in characters.
TEST_F(CliArgumentsTest, MailsSearchPrintsTheSnippetWithItsHits) {
    ASSERT_EQ(Cli("queue pals.ybf").status, 0);  // the archive, seeded with the pals' last mails
    Store({Mail(MailDirection::Sent, "2003-05-01T10:00:00", "Re: 紅葉", "🍁 紅葉、いいですね。"),
           Mail(MailDirection::Received, "2003-06-01T10:00:00", "夏",
                std::string(200, 'x') + " 紅葉 " + std::string(100, 'y'))});
    const std::string reply = "2003-05-01 🍁 紅葉、いいですね。 ";
    const std::string seed = "2003-04-05 こんにちは。 紅葉を見に行きました。 [[7,9]]";
    const struct {
        const char* name;
        const char* args;
        std::vector<std::string> snippets;  // "date snippet hits" of each mail, newest first
    } rows[] = {
        {"NewestFirstCutAroundTheHit",
         "--search 紅葉",
         {std::string("2003-06-01 …") + std::string(19, 'x') + " 紅葉 " + std::string(57, 'y') + "… [[21,23]]", reply + "[[2,4]]",
          seed, seed}},
        {"OnePalSentOnly", "--search 紅葉 --pal yuki@example.jp --direction sent", {reply + "[[2,4]]"}},
        {"Period", "--search 紅葉 --since 2003-04-06 --until 2003-05-31", {reply + "[[2,4]]"}},
        {"KanaFolded", "--search いいデス", {reply + "[[5,9]]"}},
        {"EveryWordMarked", "--search '紅葉 🍁'", {reply + "[[0,1],[2,4]]"}},
        {"SyntaxIsText", "--search '\"紅葉\" NEAR'", {}},
        {"OneCharacterOutsideCodePage932", "--search 🍁", {reply + "[[0,1]]"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome run = Cli(std::string("mails pals.ybf ") + row.args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> snippets;
        const std::regex found(R"re("date":"([0-9-]{10})[^}]*"snippet":"([^"]*)","hits":(\[[^}]*\])\})re");
        for (std::sregex_iterator it(run.out.begin(), run.out.end(), found), end; it != end; ++it)
            snippets.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str());
        EXPECT_EQ(snippets, row.snippets) << run.out;
        EXPECT_EQ(run.err.find("一致するメールはありません") != std::string::npos, row.snippets.empty()) << run.err;
    }
}

// Every command help lists is one the tool runs, and each refuses an option it does not know.
TEST_F(CliArgumentsTest, HelpListsEveryCommandAndTheVersionIsPrinted) {
    const Outcome help = Cli("help");
    ASSERT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("repair IN OUT [--force]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("reply DATA.ybf --pal ADDRESS [--today YYYY-MM-DD]"), std::string::npos) << help.out;
    const std::regex line(R"(\n  yubino-cli ([a-z-]+))");
    int commands = 0;
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), line), end; it != end; ++it) {
        const std::string name = (*it)[1];
        if (name == "help") continue;
        SCOPED_TRACE(name);
        ++commands;
        const Outcome run = Cli(name + " pals.ybf --no-such-option");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("--no-such-option"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("使い方: yubino-cli " + name), std::string::npos) << run.err;
    }
    EXPECT_GE(commands, 18);
    const Outcome version = Cli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex(R"(yubino-cli \d+\.\d+\.\d+\n)"))) << version.out;
}

// The window holds the data file's lock; the commands that only read neither wait for it
// nor say that the file is read-only, and the one that writes refuses.
TEST_F(CliArgumentsTest, CommandsThatReadRunBesideTheWindowWithoutAWord) {
    ASSERT_EQ(Cli("queue pals.ybf").status, 0);  // the archive is made, as the window makes it
    CFileLock window;
    ASSERT_EQ(window.Acquire(dir / "pals.ybf"), CFileLock::Result::Locked);
    for (const char* args :
         {"mails pals.ybf", "queue pals.ybf --today 2003-04-15", "own-addresses pals.ybf", "dump pals.ybf",
          "stats pals.ybf", "quiet-days pals.ybf", "reply pals.ybf --pal hana@example.jp"}) {
        SCOPED_TRACE(args);
        const Outcome run = Cli(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_NE(run.out, "");
    }
    const Outcome write = Cli("own-addresses pals.ybf me@home.jp");
    EXPECT_EQ(write.status, 1);
    EXPECT_NE(write.err.find("読み取り専用"), std::string::npos) << write.err;
    window.Release();
    EXPECT_EQ(Cli("own-addresses pals.ybf").out, "[]\n");
}

TEST_F(CliArgumentsTest, QueueOfAnEarlierDayLeavesOutTheMailsAfterIt) {
    ASSERT_EQ(Cli("queue pals.ybf").status, 0);
    Store({Mail(MailDirection::Sent, "2003-04-20T10:00:00", "", "返事"),
           Mail(MailDirection::Received, "2003-04-25T10:00:00", "", "また")});
    const struct {
        const char* today;
        const char* waiting;
    } rows[] = {
        {"2003-04-15", R"([{"pal":"hana@example.jp","since":"2003-04-05","days":10},)"
                       R"({"pal":"yuki@example.jp","since":"2003-04-05","days":10}])"},
        {"2003-04-22", R"([{"pal":"hana@example.jp","since":"2003-04-05","days":17}])"},
        {"2003-04-25", R"([{"pal":"hana@example.jp","since":"2003-04-05","days":20},)"
                       R"({"pal":"yuki@example.jp","since":"2003-04-25","days":0}])"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.today);
        const Outcome run = Cli(std::string("queue pals.ybf --today ") + row.today);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, std::string(R"({"waiting":)") + row.waiting + R"(,"quiet":[]})" + "\n");
    }
}

// The URL is read back by Python's own mailto parsing, as a mail program would read it.
TEST_F(CliArgumentsTest, ReplyPrintsTheMailtoUrlOfTheLastReceivedMail) {
    if (std::system("python3 -c pass >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 reads the URL";
    ASSERT_EQ(Cli("queue pals.ybf").status, 0);
    Store({Mail(MailDirection::Received, "2003-11-02T10:00:00", "RE: Re[2]: 紅葉 & 温泉", "紅葉=100%\n#きれい"),
           Mail(MailDirection::Received, "2003-12-02T10:00:00", "後の", "後のメール")});
    const std::string decode =
        "import sys, urllib.parse as u; s = u.urlsplit(sys.stdin.read().strip()); q = u.parse_qs(s.query); "
        "print(s.scheme, u.unquote(s.path), q.get(\"subject\"), repr(q[\"body\"][0]), sep=\"|\")";
    const struct {
        const char* args;
        const char* decoded;
    } rows[] = {
        {"--pal yuki@EXAMPLE.jp --today 2003-11-20",
         "mailto|yuki@example.jp|['Re: 紅葉 & "
         "温泉']|'ゆきうさぎさん\\r\\n\\r\\n紅葉の美しい季節になりましたね。\\r\\n\\r\\n"
         "> 紅葉=100%\\r\\n> #きれい\\r\\n'\n"},
        {"--pal hana@example.jp --today 2003-04-04",
         "mailto|hana@example.jp|None|'はなさん\\r\\n\\r\\n桜の便りが聞こえる季節になりましたね。\\r\\n\\r\\n'\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        const Outcome run = Cli(std::string("reply pals.ybf ") + row.args + " | python3 -c " + Quoted(decode));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, row.decoded);
    }
}

TEST_F(CliArgumentsTest, ChartsAreWrittenInTheFormatTheirNameAsksWithEveryCategoryTheWindowShows) {
    const Outcome jpeg = Cli("chart pals.ybf --kind sex --out sex.JPG");
    ASSERT_EQ(jpeg.status, 0) << jpeg.err;
    EXPECT_EQ(ReadFileBytes(dir / "sex.JPG").substr(0, 3), "\xFF\xD8\xFF");
    ASSERT_EQ(Cli("chart pals.ybf --kind sex --out sex.svg").status, 0);
    // Both pals' sex is not set: the slice and its count, as the window's chart shows them.
    const std::string svg = ReadFileBytes(dir / "sex.svg");
    EXPECT_NE(svg.find(">未設定</text>"), std::string::npos);
    EXPECT_NE(svg.find("> 2</text>"), std::string::npos);
}

}  // namespace
