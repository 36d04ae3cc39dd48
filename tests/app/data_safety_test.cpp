// The roads by which pals could be lost, tried with the real programs as separate
// processes: two writers at once, saves killed half-way, special files, replaced outputs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A program started with its standard output and error in files of the test's folder.
class Process {
public:
    Process(const std::vector<std::string>& argv, const fs::path& out, const fs::path& err) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        if (posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    // The exit status; -1 when it was killed or did not end within `limit` (then it is killed).
    int Wait(std::chrono::seconds limit = std::chrono::seconds(60)) {
        if (m_pid <= 0) return -1;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                Kill();
                ::waitpid(m_pid, &status, 0);
                m_pid = -1;
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Kill() const {
        if (m_pid > 0) ::kill(m_pid, SIGKILL);
    }

private:
    pid_t m_pid = -1;
};

std::string TableOf(int count, const std::string& prefix, std::size_t textBytes = 0) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    for (int i = 0; i < count; ++i) {
        CPenPal pal;
        pal.m_strHandleName = prefix + std::to_string(i);
        pal.m_strMailAddress = prefix + std::to_string(i) + "@example.jp";
        pal.m_strLastMailText.assign(textBytes, static_cast<char>('a' + i % 26));
        app.AddPal(pal);
    }
    return WritePalData(app);
}

// The pals a data file holds, read as the program reads it; -1 when it is not whole.
int WholeTableCount(const fs::path& file) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    const PalDataReadResult read = ReadPalData(app, ReadFileBytes(file));
    return read.status == PalDataReadResult::Status::Loaded && read.complete && !read.LostData() ? app.GetPalCount()
                                                                                                   : -1;
}

int StaleTemporaries(const fs::path& dir) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        count += entry.path().filename().string().find(".yubino-tmp.") != std::string::npos;
    return count;
}

class DataSafetyTest : public testing::Test {
protected:
    int Run(const std::vector<std::string>& args, std::chrono::seconds limit = std::chrono::seconds(60)) {
        std::vector<std::string> argv{YUBINO_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        const int status = Process(argv, dir / "out.txt", dir / "err.txt").Wait(limit);
        out = ReadFileBytes(dir / "out.txt");
        err = ReadFileBytes(dir / "err.txt");
        return status;
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    TempDir dir;
    std::string out, err;
};

// Two imports into one file at once: each pal of both is in the file, or the second run was
// refused with a message and status 1.
TEST_F(DataSafetyTest, TwoWritersAtOnceLoseNothing) {
    constexpr int kRounds = 100;
    WriteFileBytes(dir / "a.csv", "表示名,電子メール アドレス\nA,a@example.jp\n");
    WriteFileBytes(dir / "b.csv", "表示名,電子メール アドレス\nB,b@example.jp\n");
    int refusals = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        WriteFileBytes(dir / "pals.ybf", TableOf(5, "p"));
        Process a({YUBINO_CLI_PATH, "import-csv", P("pals.ybf"), P("a.csv")}, dir / "a.out", dir / "a.err");
        Process b({YUBINO_CLI_PATH, "import-csv", P("pals.ybf"), P("b.csv")}, dir / "b.out", dir / "b.err");
        const int statusA = a.Wait(), statusB = b.Wait();
        const int refused = (statusA == 1) + (statusB == 1);
        ASSERT_TRUE((statusA == 0 || statusA == 1) && (statusB == 0 || statusB == 1)) << statusA << statusB;
        ASSERT_LE(refused, 1);
        for (const auto& [status, errFile] : {std::pair{statusA, "a.err"}, std::pair{statusB, "b.err"}}) {
            if (status == 1) {
                EXPECT_NE(ReadFileBytes(dir / errFile).find("使用中"), std::string::npos);
            }
        }
        ASSERT_EQ(WholeTableCount(dir / "pals.ybf"), 7 - refused);
        refusals += refused;
    }
    RecordProperty("refusals", refusals);
}

// Saves killed at random moments: the file is always the whole old or the whole new table,
// and what the killed saves left behind is cleared by the next one.
TEST_F(DataSafetyTest, KilledSavesLeaveAWholeTableAndNoPileOfTemporaries) {
    constexpr int kKills = 150;  // of each command
    const std::string tableA = TableOf(400, "a", 8000), tableB = TableOf(400, "b", 8000);
    WriteFileBytes(dir / "a.ybf", tableA);
    WriteFileBytes(dir / "b.ybf", tableB);
    WriteFileBytes(dir / "out.ybf", tableA);
    WriteFileBytes(dir / "book.csv", "表示名,電子メール アドレス\nNew,new@example.jp\n");
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMicroseconds(0, 60000);
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(kill);
        Process repair({YUBINO_CLI_PATH, "repair", P(kill % 2 ? "a.ybf" : "b.ybf"), P("out.ybf"), "--force"},
                       dir / "r.out", dir / "r.err");
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        repair.Kill();
        repair.Wait();
        const std::string now = ReadFileBytes(dir / "out.ybf");
        ASSERT_TRUE(now == tableA || now == tableB);

        WriteFileBytes(dir / "pals.ybf", tableA);
        Process import({YUBINO_CLI_PATH, "import-csv", P("pals.ybf"), P("book.csv")}, dir / "i.out", dir / "i.err");
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        import.Kill();
        import.Wait();
        const int count = WholeTableCount(dir / "pals.ybf");
        ASSERT_TRUE(count == 400 || count == 401) << count;
        ASSERT_LE(StaleTemporaries(dir.path()), 2) << "one for each file at the most";
    }
}

// FIFOs, devices, folders and huge files as any file a command reads: a clear message
// naming the reason, never a hang, never an allocation past the cap, nothing changed.
TEST_F(DataSafetyTest, SpecialFilesAreRefusedWithoutHangingOrEatingMemory) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");
    {
        std::FILE* huge = std::fopen((dir / "huge").c_str(), "w");
        ASSERT_NE(huge, nullptr);
        ASSERT_EQ(::ftruncate(fileno(huge), off_t{4} << 30), 0);  // sparse: no disk used
        std::fclose(huge);
    }
    const std::string pals = TableOf(2, "p");
    WriteFileBytes(dir / "pals.ybf", pals);
    WriteFileBytes(dir / "book.csv", "表示名,電子メール アドレス\nA,a@example.jp\n");
    const std::string notRegular = "通常のファイルではありません", tooLarge = "大きすぎます";
    struct Row {
        std::vector<std::string> args;
        std::string reason;
    };
    const std::vector<Row> rows = {
        {{"dump", P("fifo")}, notRegular},
        {{"dump", "/dev/zero"}, notRegular},
        {{"dump", P("folder")}, notRegular},
        {{"dump", P("huge")}, tooLarge},
        {{"stats", P("fifo")}, notRegular},
        {{"repair", P("fifo"), P("new.ybf")}, notRegular},
        {{"import-csv", P("fifo"), P("book.csv")}, notRegular},
        {{"import-csv", "/dev/null", P("book.csv")}, notRegular},
        {{"import-csv", P("pals.ybf"), P("fifo")}, notRegular},
        {{"import-csv", P("pals.ybf"), "/dev/zero"}, notRegular},
        {{"import-csv", P("pals.ybf"), P("huge")}, tooLarge},
        {{"parse-mail", P("fifo")}, notRegular},
        {{"parse-mail", "/dev/urandom"}, notRegular},
        {{"parse-mail", P("huge")}, tooLarge},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[0] + " " + row.args[1] + (row.args.size() > 2 ? " " + row.args[2] : ""));
        EXPECT_EQ(Run(row.args, std::chrono::seconds(20)), 2);
        EXPECT_NE(err.find(row.reason), std::string::npos) << err;
        EXPECT_EQ(err.find("Yubino で使用中"), std::string::npos) << err;
        EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), pals);
        EXPECT_FALSE(fs::exists(dir / "new.ybf"));
    }
}

TEST_F(DataSafetyTest, RepairWritesOnlyAFileItMakes) {
    const std::string pals = TableOf(3, "p");
    WriteFileBytes(dir / "in.ybf", pals);
    WriteFileBytes(dir / "thesis.txt", "three years of work");
    fs::create_symlink("in.ybf", dir / "link.ybf");
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string thesis;
    };
    const Row rows[] = {
        {{"repair", P("in.ybf"), P("thesis.txt")}, 2, "three years of work"},
        {{"repair", P("in.ybf"), P("in.ybf")}, 2, "three years of work"},
        {{"repair", P("in.ybf"), P("in.ybf"), "--force"}, 2, "three years of work"},
        {{"repair", P("in.ybf"), P("link.ybf"), "--force"}, 2, "three years of work"},
        {{"repair", P("in.ybf"), P("thesis.txt"), "--force"}, 0, pals},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args[2] + (row.args.size() > 3 ? " --force" : ""));
        EXPECT_EQ(Run(row.args), row.status) << err;
        EXPECT_EQ(ReadFileBytes(dir / "thesis.txt"), row.thesis);
        EXPECT_EQ(ReadFileBytes(dir / "in.ybf"), pals);
    }
}

// Records past the table's 500 are reported as not loaded, and a repair does not drop
// them silently.
TEST_F(DataSafetyTest, RecordsPastFiveHundredAreReportedNotLoaded) {
    const std::string full = TableOf(500, "p"), one = TableOf(1, "extra");
    WriteFileBytes(dir / "big.ybf", full + one.substr(kPalDataMagic.size()));
    EXPECT_EQ(Run({"dump", P("big.ybf")}), 0);
    EXPECT_NE(out.find("\"complete\":false"), std::string::npos);
    EXPECT_EQ(Run({"repair", P("big.ybf"), P("out.ybf")}), 1);
    EXPECT_NE(err.find("--force"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "out.ybf"));
    EXPECT_EQ(Run({"repair", P("big.ybf"), P("out.ybf"), "--force"}), 0) << err;
    EXPECT_EQ(ReadFileBytes(dir / "out.ybf"), full);
}

TEST_F(DataSafetyTest, AnImportThatFillsTheTableSaysSoOnceWithTheCountLeftOut) {
    WriteFileBytes(dir / "pals.ybf", TableOf(498, "p"));
    std::string book = "表示名,電子メール アドレス\n";
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        book += "N" + n + ",n" + n + "@example.jp\n";
    }
    WriteFileBytes(dir / "book.csv", book);
    EXPECT_EQ(Run({"import-csv", P("pals.ybf"), P("book.csv")}), 0) << err;
    EXPECT_NE(out.find("\"added\":2"), std::string::npos) << out;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("残りの 38 件"), std::string::npos) << err;
    EXPECT_EQ(WholeTableCount(dir / "pals.ybf"), 500);
}

// The desktop program asked for a picture never waits on a message box: a settings file
// naming a FIFO is told on standard error and the status says a message was shown.
TEST_F(DataSafetyTest, AScreenshotRunTellsStartupMessagesOnStandardErrorAndEnds) {
    fs::create_directory(dir / "program");
    fs::copy_file(YUBINO_GUI_PATH, dir / "program" / "yubino");
    ASSERT_EQ(::mkfifo((dir / "fifo.ybf").c_str(), 0600), 0);
    WriteFileBytes(dir / "program" / "yubino.cfg", P("fifo.ybf"));
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Process gui({(dir / "program" / "yubino").string(), "--screenshot", P("shot.png")}, dir / "out.txt",
                dir / "err.txt");
    EXPECT_EQ(gui.Wait(std::chrono::seconds(60)), 3);
    const std::string err = ReadFileBytes(dir / "err.txt");
    EXPECT_NE(err.find("通常のファイルではありません"), std::string::npos) << err;
    EXPECT_TRUE(fs::exists(dir / "shot.png"));
}

// A picture of the window stores nothing, so a first start that takes one leaves no empty
// settings file behind: the next start is still a first start.
TEST_F(DataSafetyTest, AFirstScreenshotRunMakesNoSettingsFile) {
    fs::create_directory(dir / "program");
    fs::copy_file(YUBINO_GUI_PATH, dir / "program" / "yubino");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Process gui({(dir / "program" / "yubino").string(), "--screenshot", P("shot.png")}, dir / "out.txt",
                dir / "err.txt");
    EXPECT_NE(gui.Wait(std::chrono::seconds(60)), 1) << ReadFileBytes(dir / "err.txt");
    EXPECT_TRUE(fs::exists(dir / "shot.png"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "program" / "yubino.cfg")));
}

}  // namespace
