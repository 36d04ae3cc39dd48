// yubino-cli refusing what it must not do, and telling why: a data file in use, a password
// file others can read, a backup of another data file, a backup it could not write, a
// file that is no address book, and spreadsheet formulas in an export.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/yubino_app.h"
#include "storage/file_lock.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string PalData(int count, const std::string& prefix = "pal", std::size_t textBytes = 0) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    for (int i = 0; i < count; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = prefix + std::to_string(i) + "@example.jp";
        pal.m_strLastMailText = std::string(textBytes, 'x');
        app.AddPal(pal);
    }
    return WritePalData(app);
}

class CliRefusalTest : public testing::Test {
protected:
    // The command with its own folders of state, so that backups are the test's alone.
    Outcome Cli(const std::string& args, const std::string& before = {}) {
        const std::string err = (dir / "stderr.txt").string();
        const std::string env = "XDG_DATA_HOME=" + Quoted((dir / "data").string()) +
                                " XDG_STATE_HOME=" + Quoted((dir / "state").string()) +
                                " XDG_CONFIG_HOME=" + Quoted((dir / "config").string()) + " ";
        const ShellRun run = RunShell(before + env + Quoted(YUBINO_CLI_PATH) + " " + args + " 2>" + Quoted(err));
        return {run.status, run.out, ReadFileBytes(err)};
    }
    std::string Path(const std::string& name) const { return Quoted((dir / name).string()); }

    TempDir dir;
};

// Every command that writes the data file gives the same status when another Yubino holds
// it, and leaves the file as it was.
TEST_F(CliRefusalTest, ADataFileInUseGivesStatusOneInEveryCommand) {
    WriteFileBytes(dir / "pals.ybf", PalData(2));
    WriteFileBytes(dir / "other.ybf", PalData(1, "other"));
    WriteFileBytes(dir / "mail.eml",
                   "From: pal0@example.jp\nSubject: hi\nDate: Mon, 1 Jun 2026 10:00:00 +0900\n\nbody\n");
    WriteFileBytes(dir / "book.csv", "表示名,電子メール アドレス\n新,new@example.jp\n");
    WriteFileBytes(dir / "book.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:New\r\nEMAIL:new@example.jp\r\nEND:VCARD\r\n");
    WriteFileBytes(dir / "password", "secret\n");
    ASSERT_EQ(::chmod((dir / "password").c_str(), 0600), 0);
    const struct {
        const char* name;
        std::string args;
    } commands[] = {
        {"take-mail", "take-mail " + Path("pals.ybf") + " " + Path("mail.eml")},
        {"check-mail", "check-mail " + Path("pals.ybf") + " --mbox " + Path("mail.eml")},
        {"import", "import " + Path("pals.ybf") + " " + Path("book.vcf")},
        {"import-csv", "import-csv " + Path("pals.ybf") + " " + Path("book.csv")},
        {"place", "place " + Path("pals.ybf") + " --all"},
        {"restore", "restore " + Path("pals.ybf") + " " + Path("other.ybf")},
        {"sync-contacts", "sync-contacts " + Path("pals.ybf") +
                              " --carddav https://user@127.0.0.1:1/ --password-file " + Path("password")},
    };
    CFileLock otherYubino;
    ASSERT_EQ(otherYubino.Acquire(dir / "pals.ybf"), CFileLock::Result::Locked);
    for (const auto& command : commands) {
        const Outcome run = Cli(command.args);
        EXPECT_EQ(run.status, 1) << command.name << ": " << run.err;
        EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), PalData(2)) << command.name;
    }
}

TEST_F(CliRefusalTest, APasswordFileOthersCanReadIsRefusedNamingChmod) {
    WriteFileBytes(dir / "pals.ybf", PalData(1));
    WriteFileBytes(dir / "password", "secret\n");
    for (const std::string& args :
         {"check-mail " + Path("pals.ybf") + " --imap imaps://user@127.0.0.1:1/ --password-file " + Path("password"),
          "sync-contacts " + Path("pals.ybf") + " --carddav https://user@127.0.0.1:1/ --password-file " +
              Path("password")}) {
        for (mode_t mode : {0644, 0640, 0604, 0666}) {
            ASSERT_EQ(::chmod((dir / "password").c_str(), mode), 0);
            const Outcome run = Cli(args);
            EXPECT_EQ(run.status, 2) << std::oct << mode << " " << args;
            EXPECT_NE(run.err.find("chmod 600"), std::string::npos) << std::oct << mode << ": " << run.err;
        }
        ASSERT_EQ(::chmod((dir / "password").c_str(), 0600), 0);
        const Outcome run = Cli(args);
        EXPECT_EQ(run.err.find("chmod"), std::string::npos) << run.err;
    }
}

// The backup of b put into a: asked about, so refused without --force; a is kept first.
TEST_F(CliRefusalTest, RestoringAnotherDataFilesBackupNeedsForce) {
    WriteFileBytes(dir / "a.ybf", PalData(100, "a"));
    WriteFileBytes(dir / "b.ybf", PalData(3, "b"));
    ASSERT_EQ(Cli("repair " + Path("a.ybf") + " " + Path("b.ybf") + " --force").status, 0);
    const Outcome listed = Cli("backups " + Path("b.ybf"));
    const std::size_t start = listed.out.find("\"file\":\"");
    ASSERT_NE(start, std::string::npos) << listed.out;
    const std::string backupOfB = listed.out.substr(start + 8, listed.out.find('"', start + 8) - start - 8);
    ASSERT_EQ(ReadFileBytes(backupOfB), PalData(3, "b"));

    const Outcome refused = Cli("restore " + Path("a.ybf") + " " + Quoted(backupOfB));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find((dir / "b.ybf").string()), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFileBytes(dir / "a.ybf"), PalData(100, "a"));

    EXPECT_EQ(Cli("restore " + Path("a.ybf") + " " + Quoted(backupOfB) + " --force").status, 0);
    EXPECT_EQ(ReadFileBytes(dir / "a.ybf"), PalData(3, "b"));
    EXPECT_NE(Cli("backups " + Path("a.ybf")).out.find("\"pals\":100"), std::string::npos);
}

// A file size limit fails the backup as a full disk would, while the smaller new file
// still fits: the save goes on and standard error says the backup is missing.
TEST_F(CliRefusalTest, ABackupThatCannotBeWrittenIsToldOnStandardError) {
    WriteFileBytes(dir / "big.ybf", PalData(40, "big", 2000));
    WriteFileBytes(dir / "small.ybf", PalData(1, "small"));
    ASSERT_GT(fs::file_size(dir / "big.ybf"), 70u * 1024);
    const Outcome run =
        Cli("repair " + Path("small.ybf") + " " + Path("big.ybf") + " --force", "trap '' XFSZ; ulimit -f 64; ");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(dir / "big.ybf"), PalData(1, "small"));
    EXPECT_NE(run.err.find("バックアップを"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("書き込めません"), std::string::npos) << run.err;
}

TEST_F(CliRefusalTest, CsvExportGuardsFormulasUnlessRawIsAsked) {
    WriteFileBytes(dir / "pals.ybf", PalData(0));
    WriteFileBytes(dir / "evil.eml",
                   "From: \"=HYPERLINK(\\\"http://evil/\\\")\" <evil@example.jp>\nSubject: x\n"
                   "Date: Mon, 1 Jun 2026 10:00:00 +0900\n\nbody\n");
    ASSERT_EQ(Cli("take-mail " + Path("pals.ybf") + " --add-new " + Path("evil.eml")).status, 0);
    ASSERT_EQ(Cli("export " + Path("pals.ybf") + " --csv " + Path("out.csv")).status, 0);
    EXPECT_NE(ReadFileBytes(dir / "out.csv").find("\r\n\"'=HYPERLINK("), std::string::npos)
        << ReadFileBytes(dir / "out.csv");
    ASSERT_EQ(Cli("export " + Path("pals.ybf") + " --csv " + Path("raw.csv") + " --raw-csv").status, 0);
    EXPECT_NE(ReadFileBytes(dir / "raw.csv").find("\r\n\"=HYPERLINK("), std::string::npos)
        << ReadFileBytes(dir / "raw.csv");
}

struct BookCase {
    const char* name;
    const char* file;
    std::string bytes;
    int status;
    const char* told;  // a piece of standard error; "" for none
    int added;
};

// What is no address book, or names no column Yubino knows, is refused with status 2 and
// says what it found; Outlook's Japanese headers without "表示名" are address books.
TEST_F(CliRefusalTest, AFileThatIsNoAddressBookIsRefusedAndSaysWhatItFound) {
    const BookCase cases[] = {
        {"full name and address", "book.csv", "名前,電子メール アドレス\r\n山田 太郎,taro@example.jp\r\n", 0, "", 1},
        {"family name and address", "book.csv", "姓,電子メール アドレス\r\n山田,taro@example.jp\r\n", 0, "", 1},
        {"columns nobody knows", "book.csv", "Who,Where\r\nAnn,ann@example.jp\r\n", 2, "Who, Where", 0},
        {"a ZIP named .vcf", "book.vcf", std::string("PK\x03\x04\x14\0\0\0\x08\0", 10) + "content.xml", 2, "アドレス帳",
         0},
        {"a text named .vcf without a card", "book.vcf", "just some notes\n", 2, "アドレス帳", 0},
    };
    for (const BookCase& c : cases) {
        WriteFileBytes(dir / "pals.ybf", PalData(1));
        WriteFileBytes(dir / c.file, c.bytes);
        const Outcome run = Cli("import " + Path("pals.ybf") + " " + Path(c.file));
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.told), std::string::npos) << c.name << ": " << run.err;
        if (c.status == 0) {
            EXPECT_NE(run.out.find("\"added\":" + std::to_string(c.added)), std::string::npos) << run.out;
        }
        fs::remove(dir / c.file);
    }
}

}  // namespace
