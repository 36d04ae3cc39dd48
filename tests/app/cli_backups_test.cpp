// yubino-cli backups and restore, and the backup every writing command makes first.
#include <gtest/gtest.h>

#include <regex>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace {

using Outcome = ShellRun;

Outcome Cli(const std::string& args) { return RunShell(Quoted(YUBINO_CLI_PATH) + " " + args + " 2>/dev/null"); }

std::string PalData(int count) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    for (int i = 0; i < count; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        app.AddPal(pal);
    }
    return WritePalData(app);
}

// The "file" values of the backups listing, newest first.
std::vector<std::string> Files(const std::string& json) {
    std::vector<std::string> files;
    const std::regex entry(
        R"re(\{"file":"([^"]+)","saved":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d","pals":(-?\d+),"bytes":(\d+)\})re");
    for (std::sregex_iterator it(json.begin(), json.end(), entry), end; it != end; ++it) files.push_back((*it)[1]);
    return files;
}

class CliBackupsTest : public testing::Test {
protected:
    std::string Data() const { return Quoted((dir / "pals.ybf").string()); }
    TempDir dir;
};

TEST_F(CliBackupsTest, AFileNeverReplacedHasNoBackups) {
    WriteFileBytes(dir / "pals.ybf", PalData(2));
    const Outcome run = Cli("backups " + Data());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "[]\n");
}

TEST_F(CliBackupsTest, RepairIntoAFileKeepsItThenRestoreBringsItBack) {
    WriteFileBytes(dir / "pals.ybf", PalData(3));
    WriteFileBytes(dir / "other.ybf", PalData(5));
    ASSERT_EQ(Cli("repair " + Quoted((dir / "other.ybf").string()) + " " + Data() + " --force").status, 0);
    ASSERT_EQ(ReadFileBytes(dir / "pals.ybf"), PalData(5));

    Outcome listed = Cli("backups " + Data());
    ASSERT_EQ(listed.status, 0);
    std::vector<std::string> files = Files(listed.out);
    ASSERT_EQ(files.size(), 1u) << listed.out;
    EXPECT_NE(listed.out.find("\"pals\":3,\"bytes\":" + std::to_string(PalData(3).size())), std::string::npos)
        << listed.out;
    EXPECT_EQ(ReadFileBytes(files[0]), PalData(3));

    // Restored by its name alone; the file it replaces becomes the newest backup.
    const std::string name = std::filesystem::path(files[0]).filename().string();
    const Outcome restored = Cli("restore " + Data() + " " + Quoted(name));
    EXPECT_EQ(restored.status, 0);
    EXPECT_NE(restored.out.find("\"pals\":3"), std::string::npos) << restored.out;
    EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), PalData(3));
    files = Files(Cli("backups " + Data()).out);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(ReadFileBytes(files[0]), PalData(5));
}

TEST_F(CliBackupsTest, ABackupThatIsGoneOrDamagedChangesNothing) {
    WriteFileBytes(dir / "pals.ybf", PalData(2));
    const std::string cut = PalData(4).substr(0, PalData(4).size() - 5);
    WriteFileBytes(dir / "cut.ybf", cut);
    for (const std::string& backup : {(dir / "gone.ybf").string(), (dir / "cut.ybf").string()}) {
        SCOPED_TRACE(backup);
        EXPECT_EQ(Cli("restore " + Data() + " " + Quoted(backup)).status, 2);
        EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), PalData(2));
    }
    EXPECT_EQ(Cli("backups " + Data()).out, "[]\n");
}

}  // namespace
