#include "storage/window_state.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

WindowState FullState() {
    WindowState state;
    state.geometry = "AdnQywADAAAAAAA=";
    state.mainSplit = {400, 620};
    state.leftSplit = {400, 280};
    state.viewMode = 1;
    state.columnWidths = {100, 120, 40, 40, 150, 50};
    state.sortColumn = 3;
    state.sortAscending = false;
    state.map = 7;
    state.recentFiles = {"/home/u/友達.ybf", "/home/u/old friends.ybf"};
    state.queueOpen = true;
    state.queueTab = 1;
    state.queueSortColumn = 0;
    state.queueSortAscending = true;
    state.conversationNewestOnTop = true;
    return state;
}

TEST(WindowState, WrittenAndReadBackWhole) {
    TempDir dir;
    const fs::path file = dir / "state" / "yubino" / "window-state";
    ASSERT_TRUE(WriteWindowState(file, FullState()));
    EXPECT_EQ(ReadWindowState(file), FullState());
}

TEST(WindowState, DamagedValuesFallBackOneByOne) {
    struct Case {
        const char* name;
        const char* text;
        WindowState expected;
    };
    WindowState splitOnly;
    splitOnly.mainSplit = {400, 500};
    WindowState modeOnly;
    modeOnly.viewMode = 2;
    const Case cases[] = {
        {"empty", "", WindowState{}},
        {"not numbers", "view-mode=large\nmap=x\ncolumns=1,a,3\n", WindowState{}},
        {"negative width", "main-split=400,-5\n", WindowState{}},
        {"huge number", "view-mode=99999999999\n", WindowState{}},
        {"unknown names and lines without a value", "colour=red\nnonsense\n\nmain-split=400,500\n", splitOnly},
        {"no final line break", "view-mode=2", modeOnly},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseWindowState(c.text), c.expected) << c.name;
}

TEST(WindowState, OnlyASmallRegularFileIsRead) {
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteFileBytes(dir / "big", "view-mode=1\n" + std::string(100 * 1024, '#'));
    fs::create_directory(dir / "folder");
    for (const fs::path& file : {fifo, dir / "big", dir / "folder", dir / "missing"})
        EXPECT_EQ(ReadWindowState(file), WindowState{}) << file;
}

TEST(WindowState, LivesUnderTheStateHome) {
    struct Case {
        const char* name;
        std::string stateHome, home;
        fs::path file;
    } cases[] = {
        {"state home", "/s", "/h", "/s/yubino/window-state"},
        {"no state home", "", "/h", "/h/.local/state/yubino/window-state"},
        {"relative state home", "rel", "/h", "/h/.local/state/yubino/window-state"},
        {"nothing", "", "", ""},
    };
    for (const Case& c : cases) {
        const auto env = [&](const char* name) { return std::string(name) == "HOME" ? c.home : c.stateHome; };
        EXPECT_EQ(WindowStateFile(env), c.file) << c.name;
    }
}

TEST(RecentFiles, TheLastOpenedComesFirstOnceAndEightAreKept) {
    std::vector<fs::path> recent;
    for (int i = 1; i <= 10; ++i) AddRecentFile(recent, "/f" + std::to_string(i));
    EXPECT_EQ(recent, (std::vector<fs::path>{"/f10", "/f9", "/f8", "/f7", "/f6", "/f5", "/f4", "/f3"}));
    AddRecentFile(recent, "/f6");
    EXPECT_EQ(recent, (std::vector<fs::path>{"/f6", "/f10", "/f9", "/f8", "/f7", "/f5", "/f4", "/f3"}));
    AddRecentFile(recent, "");
    EXPECT_EQ(recent.size(), kMaxRecentFiles);
}

}  // namespace
