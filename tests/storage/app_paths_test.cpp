#include "storage/app_paths.h"

#include <gtest/gtest.h>

#include <map>

#include "storage/settings_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

EnvLookup Env(std::map<std::string, std::string> values) {
    return [values](const char* name) {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
}

TEST(AppPaths, WritableProgramDirectoryHoldsBothFiles) {
    TempDir dir;
    AppPaths paths = ResolveAppPaths(dir.path(), Env({}));
    EXPECT_EQ(paths.settingsFile, dir / "yubino.cfg");
    EXPECT_EQ(paths.sampleFile, dir / "サンプル.ybf");
}

TEST(AppPaths, ReadOnlyProgramDirectoryUsesXdgDirectories) {
    TempDir home;
    AppPaths paths =
        ResolveAppPaths("/proc", Env({{"HOME", home.path().string()}, {"XDG_DATA_HOME", (home / "data").string()}}));
    EXPECT_EQ(paths.settingsFile, home / ".config/yubino/yubino.cfg");
    EXPECT_EQ(paths.sampleFile, home / "data/yubino/サンプル.ybf");
    EXPECT_TRUE(fs::is_directory(home / ".config/yubino"));
}

TEST(AppPaths, InstalledProgramUsesXdgDirectoriesEvenWhereItCouldWrite) {
    TempDir root, home;
    fs::create_directories(root / "bin");
    fs::create_directories(root / "share/yubino");
    EXPECT_TRUE(IsInstalledProgram(root / "bin"));
    AppPaths paths = ResolveAppPaths(root / "bin", Env({{"HOME", home.path().string()}}));
    EXPECT_EQ(paths.settingsFile, home / ".config/yubino/yubino.cfg");
    EXPECT_EQ(paths.sampleFile, home / ".local/share/yubino/サンプル.ybf");
    EXPECT_TRUE(fs::is_empty(root / "bin")) << "nothing is written beside an installed program";
}

TEST(AppPaths, NowhereToWriteLeavesThePathsEmpty) {
    AppPaths paths = ResolveAppPaths("/proc", Env({{"HOME", "/proc/nowhere"}}));
    EXPECT_TRUE(paths.settingsFile.empty());
    EXPECT_TRUE(paths.sampleFile.empty());
    StartupFile start = ChooseStartupFile(paths);
    EXPECT_FALSE(start.settingsUsable);
    EXPECT_FALSE(start.opened);
}

TEST(StartupFile, FirstStartCreatesEmptySettingsAndSample) {
    TempDir dir;
    AppPaths paths = ResolveAppPaths(dir.path(), Env({}));
    StartupFile start = ChooseStartupFile(paths);
    EXPECT_EQ(start.dataFile, dir / "サンプル.ybf");
    EXPECT_TRUE(start.opened);
    EXPECT_TRUE(start.settingsUsable);
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), "");
    EXPECT_EQ(fs::file_size(dir / "サンプル.ybf"), 0u);
}

TEST(StartupFile, OpensTheNamedFileAndCreatesItWhenGone) {
    TempDir dir;
    AppPaths paths = ResolveAppPaths(dir.path(), Env({}));
    WriteFileBytes(dir / "mine.ybf", "existing");
    WriteFileBytes(paths.settingsFile, (dir / "mine.ybf").string() + "\r\n");
    EXPECT_EQ(ChooseStartupFile(paths).dataFile, dir / "mine.ybf");
    EXPECT_EQ(ReadFileBytes(dir / "mine.ybf"), "existing") << "an existing file is not truncated";

    WriteFileBytes(paths.settingsFile, (dir / "gone.ybf").string());
    StartupFile start = ChooseStartupFile(paths);
    EXPECT_TRUE(start.opened);
    EXPECT_TRUE(fs::exists(dir / "gone.ybf"));
}

TEST(StartupFile, UnusablePathStartsWithoutAFile) {
    TempDir dir;
    AppPaths paths = ResolveAppPaths(dir.path(), Env({}));
    WriteFileBytes(paths.settingsFile, (dir / "no-dir" / "x.ybf").string());
    StartupFile start = ChooseStartupFile(paths);
    EXPECT_EQ(start.dataFile, dir / "no-dir" / "x.ybf");
    EXPECT_FALSE(start.opened);
    EXPECT_TRUE(start.settingsUsable);
}

}  // namespace
