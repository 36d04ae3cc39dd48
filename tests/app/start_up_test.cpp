// What start-up loads: the window's program needs only the libraries its first window uses,
// and it opens the module of the later features only when one of them is wanted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A sanitizer's runtime comes with the build that asks for it, not with the program.
bool IsSanitizerRuntime(const std::string& library) {
    for (const char* runtime : {"libasan.", "libubsan.", "liblsan.", "libtsan."})
        if (library.rfind(runtime, 0) == 0) return true;
    return false;
}

std::set<std::string> NeededLibraries(const fs::path& binary) {
    const ShellRun run = RunShell("readelf -d " + Quoted(binary.string()));
    EXPECT_EQ(run.status, 0);
    std::set<std::string> needed;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t open = line.find("(NEEDED)") == std::string::npos ? std::string::npos : line.find('[');
        if (open == std::string::npos) continue;
        const std::string library = line.substr(open + 1, line.find(']', open) - open - 1);
        if (!IsSanitizerRuntime(library)) needed.insert(library);
    }
    return needed;
}

std::set<std::string> AllowedLibraries() {
    std::ifstream list(YUBINO_START_UP_LIBRARIES);
    std::set<std::string> allowed;
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#') allowed.insert(line);
    return allowed;
}

TEST(StartUpLibrariesTest, TheProgramNeedsNoLibraryBeyondTheFirstWindowsList) {
    const std::set<std::string> allowed = AllowedLibraries();
    ASSERT_FALSE(allowed.empty());
    const std::set<std::string> needed = NeededLibraries(YUBINO_GUI_PATH);
    ASSERT_TRUE(needed.count("libQt6Widgets.so.6")) << "readelf found no libraries";
    for (const std::string& library : needed)
        EXPECT_TRUE(allowed.count(library))
            << library << " is linked into yubino: a later feature's code belongs in "
            << "yubino_features (src/ui/CMakeLists.txt), or the library in " << YUBINO_START_UP_LIBRARIES;
}

TEST(StartUpLibrariesTest, TheFeaturesModuleBringsTheLaterFeaturesLibraries) {
    const std::set<std::string> needed = NeededLibraries(YUBINO_FEATURES_PATH);
    for (const char* library :
         {"libsqlite3.so.0", "libgmime-3.0.so.0", "libQt6Charts.so.6", "libQt6DBus.so.6", "libQt6PrintSupport.so.6"})
        EXPECT_TRUE(needed.count(library)) << library;
}

struct LinkedFileCase {
    const char* name;
    const char* path;
};

class StartUpLinkTest : public testing::TestWithParam<LinkedFileCase> {};

// A run path sends the loader to look for each library in other folders first; an empty
// entry in it is the current folder, from which any start would take a library of that name.
TEST_P(StartUpLinkTest, LibrariesComeOnlyFromTheSystemsFolders) {
    const ShellRun run = RunShell(std::string("readelf -d ") + Quoted(GetParam().path));
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("(RPATH)"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("(RUNPATH)"), std::string::npos) << run.out;
}

// Linked where the address space layout is randomised, as Debian links its programs.
TEST_P(StartUpLinkTest, IsPositionIndependent) {
    const ShellRun run = RunShell(std::string("readelf -h ") + Quoted(GetParam().path));
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("DYN ("), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(StartUp, StartUpLinkTest,
                         testing::Values(LinkedFileCase{"TheProgram", YUBINO_GUI_PATH},
                                         LinkedFileCase{"TheFeaturesModule", YUBINO_FEATURES_PATH}),
                         [](const testing::TestParamInfo<LinkedFileCase>& info) { return info.param.name; });

struct ModuleCase {
    const char* name;
    const char* accounts;  // the accounts file; none when null
    bool opensModule;
};

class StartUpModuleTest : public testing::TestWithParam<ModuleCase> {};

// The program as installed beside its module, started with its own home; the dynamic
// loader tells which files it opened.
TEST_P(StartUpModuleTest, TheModuleOpensOnlyWhenStartUpNeedsAFeature) {
    const ModuleCase& c = GetParam();
    TempDir dir;
    fs::create_directories(dir / "program");
    fs::copy_file(YUBINO_GUI_PATH, dir / "program/yubino");
    fs::copy_file(YUBINO_FEATURES_PATH, dir / "program/yubino-features.so");
    if (c.accounts) {
        fs::create_directories(dir / "config/yubino");
        WriteFileBytes(dir / "config/yubino/accounts.ini", c.accounts);
    }
    const std::string home = Quoted(dir.path().string());
    const ShellRun run = RunShell("env -i PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen LD_DEBUG=files HOME=" + home +
                                  " XDG_CONFIG_HOME=" + home + "/config " + home + "/program/yubino --screenshot " +
                                  home + "/shot.png 2>&1");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(fs::exists(dir / "shot.png"));
    EXPECT_EQ(run.out.find("yubino-features.so") != std::string::npos, c.opensModule);
    EXPECT_EQ(run.out.find("libsqlite3") != std::string::npos, c.opensModule);
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, StartUpModuleTest,
    testing::Values(ModuleCase{"APlainStartOpensNoModule", nullptr, false},
                    ModuleCase{"AccountsWithoutTimedChecksOpenNoModule", "[account]\nname=home\n", false},
                    ModuleCase{"TimedChecksOpenTheModuleAtStartUp", "check_every_minutes=30\n", true}),
    [](const testing::TestParamInfo<ModuleCase>& info) { return info.param.name; });

}  // namespace
