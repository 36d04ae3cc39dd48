#include "storage/yubino_session.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/yubino_app.h"
#include "storage/file_lock.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

CPenPal Pal(const std::string& address) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    return pal;
}

class SessionTest : public testing::Test {
protected:
    AppPaths Paths() const { return {dir / "yubino.cfg", dir / "sample.ybf"}; }
    std::string TableBytes() const { return WritePalData(app); }

    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(SessionTest, FirstStartCreatesAnEmptySettingsFileAndSampleAndSavesIntoThem) {
    CYubinoSession session(app, Paths());
    session.LoadStartupFile();
    EXPECT_EQ(session.Doc().GetPathName(), dir / "sample.ybf");
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), "");
    EXPECT_EQ(app.GetPalCount(), 0);

    app.AddPal(Pal("a@x"));
    EXPECT_TRUE(session.SaveOnClose({}));
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), (dir / "sample.ybf").string());
    EXPECT_EQ(ReadFileBytes(dir / "sample.ybf"), TableBytes());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SessionTest, ASettingsFileNamingAVanishedFileStartsEmptyOnThatName) {
    WriteFileBytes(dir / "yubino.cfg", (dir / "gone.ybf").string());
    CYubinoSession session(app, Paths());
    session.LoadStartupFile();
    EXPECT_EQ(session.Doc().GetPathName(), dir / "gone.ybf");
    EXPECT_TRUE(fs::exists(dir / "gone.ybf"));
    EXPECT_EQ(app.GetPalCount(), 0);
}

TEST_F(SessionTest, TheBundledSampleIsCopiedOnceAndNeverOverwritten) {
    TempDir program;
    WriteFileBytes(program / "bundled.ybf", "bundled bytes");
    ProvideSampleFile(dir / "sample.ybf", program / "bundled.ybf");
    EXPECT_EQ(ReadFileBytes(dir / "sample.ybf"), "bundled bytes");
    WriteFileBytes(dir / "sample.ybf", "the user's pals");
    ProvideSampleFile(dir / "sample.ybf", program / "bundled.ybf");
    EXPECT_EQ(ReadFileBytes(dir / "sample.ybf"), "the user's pals");
}

TEST_F(SessionTest, AFileFromTheCommandLineIsTheDocumentAndIsRecordedOnClose) {
    FakeUserInterface quiet;
    CYubinoApp other(quiet);
    other.AddPal(Pal("opened@x"));
    WriteFileBytes(dir / "opened.ybf", WritePalData(other));
    WriteFileBytes(dir / "yubino.cfg", (dir / "usual.ybf").string());

    CYubinoSession session(app, Paths());
    session.LoadStartupFile(dir / "opened.ybf");
    EXPECT_EQ(session.Doc().GetPathName(), dir / "opened.ybf");
    EXPECT_EQ(app.GetPalCount(), 1);
    EXPECT_FALSE(fs::exists(dir / "usual.ybf")) << "the file the settings name is left alone";
    EXPECT_TRUE(session.SaveOnClose({}));
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), (dir / "opened.ybf").string());
}

TEST_F(SessionTest, ACommandLineFileThatCannotBeLoadedFallsBackToTheUsualStart) {
    WriteFileBytes(dir / "foreign.ybf", "not pal data at all");
    CYubinoSession session(app, Paths());
    session.LoadStartupFile(dir / "foreign.ybf");
    EXPECT_EQ(session.Doc().GetPathName(), dir / "sample.ybf");
    EXPECT_EQ(ui.messages.size(), 1u) << "the refusal is told";
    EXPECT_EQ(ReadFileBytes(dir / "foreign.ybf"), "not pal data at all");
}

TEST_F(SessionTest, SaveAsChangesTheFileRecordedOnClose) {
    CYubinoSession session(app, Paths());
    session.LoadStartupFile();
    EXPECT_TRUE(session.SaveAs(dir / "new.ybf"));
    EXPECT_TRUE(session.SaveOnClose({}));
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), (dir / "new.ybf").string());
}

TEST_F(SessionTest, UnwritableDataFileOffersAnotherPlaceThenClosingWithoutSavingThenStayingOpen) {
    const fs::path unwritable = dir / "no such dir" / "pals.ybf";
    const fs::path elsewhere = dir / "elsewhere.ybf";
    struct Row {
        const char* name;
        std::deque<bool> answers;
        fs::path chosen;
        bool closes;
        bool savedElsewhere;
    } rows[] = {
        {"another place chosen", {true}, elsewhere, true, true},
        {"another place cancelled, then stay open", {true, false}, {}, false, false},
        {"no other place, close without saving", {false, true}, {}, true, false},
        {"no other place, stay open", {false, false}, {}, false, false},
    };
    for (const Row& row : rows) {
        fs::remove(elsewhere);
        FakeUserInterface rowUi;
        CYubinoApp rowApp(rowUi);
        rowApp.AddPal(Pal("a@x"));
        CYubinoSession session(rowApp, Paths());
        session.Doc().SetPathName(unwritable);
        rowUi.yesNoAnswers = row.answers;
        EXPECT_EQ(session.SaveOnClose([&] { return row.chosen; }), row.closes) << row.name;
        EXPECT_EQ(fs::exists(elsewhere), row.savedElsewhere) << row.name;
        // The settings file names the file that holds the pals from now on.
        EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), (row.savedElsewhere ? elsewhere : unwritable).string())
            << row.name;
        EXPECT_TRUE(rowUi.yesNoAnswers.empty()) << row.name;
    }
}

TEST_F(SessionTest, AnotherUnwritablePlaceIsAskedAboutAgain) {
    app.AddPal(Pal("a@x"));
    CYubinoSession session(app, Paths());
    session.Doc().SetPathName(dir / "missing" / "a.ybf");
    ui.yesNoAnswers = {true, true, false, false};
    int choices = 0;
    EXPECT_FALSE(session.SaveOnClose([&] {
        ++choices;
        return dir / "missing" / "b.ybf";
    }));
    EXPECT_EQ(choices, 2);
}

TEST_F(SessionTest, AStartupFileThatCannotBeCreatedIsToldAndTriedAgainOnClose) {
    WriteFileBytes(dir / "yubino.cfg", (dir / "missing" / "a.ybf").string());
    CYubinoSession session(app, Paths());
    session.LoadStartupFile();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("開くことも作成することもできません"), std::string::npos);
    EXPECT_EQ(session.Doc().GetPathName(), dir / "missing" / "a.ybf");
}

TEST_F(SessionTest, NoPlaceForTheSettingsFileIsToldAtStartAndCloseStillSavesTheData) {
    CYubinoSession session(app, AppPaths{{}, dir / "sample.ybf"});
    session.LoadStartupFile();
    ASSERT_EQ(ui.messages.size(), 1u);
    app.AddPal(Pal("a@x"));
    EXPECT_TRUE(session.SaveOnClose({}));
    EXPECT_EQ(ReadFileBytes(dir / "sample.ybf"), TableBytes());
    EXPECT_EQ(ui.messages.size(), 1u);
}

// A second window on a file the first one holds: whatever the user does, the file keeps
// what the first one saved in the meantime.
TEST_F(SessionTest, AReadOnlySessionNeverWritesTheFileItDoesNotOwn) {
    const fs::path data = dir / "pals.ybf";
    const fs::path elsewhere = dir / "mine.ybf";
    struct Row {
        const char* name;
        bool changed;
        std::deque<bool> answers;
        fs::path chosen;
        bool closes;
        int questions;
    } rows[] = {
        {"unchanged: closes without a word", false, {}, {}, true, 0},
        {"changed, saved under another name", true, {true}, elsewhere, true, 1},
        {"changed, the file dialog cancelled, changes given up", true, {true, true}, {}, true, 2},
        {"changed, no other name, changes given up", true, {false, true}, {}, true, 2},
        {"changed, no other name, stays open", true, {false, false}, {}, false, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(elsewhere);
        FakeUserInterface quiet;
        CYubinoApp first(quiet);
        first.AddPal(Pal("a@x"));
        WriteFileBytes(data, WritePalData(first));
        WriteFileBytes(dir / "yubino.cfg", data.string());
        CFileLock firstWindow;
        ASSERT_EQ(firstWindow.Acquire(data), CFileLock::Result::Locked);

        FakeUserInterface rowUi;
        CYubinoApp rowApp(rowUi);
        CYubinoSession session(rowApp, Paths());
        session.Doc().SetLockWait({});
        session.LoadStartupFile();
        ASSERT_TRUE(session.Doc().IsReadOnly());
        // Meanwhile the first window saves a new pal.
        first.AddPal(Pal("b@x"));
        ASSERT_TRUE(WriteFileAtomically(data, WritePalData(first)).ok);

        EXPECT_FALSE(session.Save()) << "Ctrl+S";
        if (row.changed) rowApp.DeletePal("a@x");
        rowUi.yesNoAnswers = row.answers;
        EXPECT_EQ(session.SaveOnClose([&] { return row.chosen; }), row.closes);
        EXPECT_EQ(ReadFileBytes(data), WritePalData(first));
        EXPECT_EQ(fs::exists(elsewhere), !row.chosen.empty());
        EXPECT_EQ(rowUi.yesNoAnswers.size(), 0u);
        EXPECT_EQ(std::count_if(rowUi.events.begin(), rowUi.events.end(),
                                [](const std::string& e) { return e.starts_with("question"); }),
                  row.questions);
    }
}

TEST_F(SessionTest, OpeningAnotherFileStoresTheTableFirst) {
    FakeUserInterface quiet;
    CYubinoApp other(quiet);
    other.AddPal(Pal("other@x"));
    WriteFileBytes(dir / "other.ybf", WritePalData(other));
    app.AddPal(Pal("a@x"));
    app.AddPal(Pal("b@x"));
    WriteFileBytes(dir / "pals.ybf", TableBytes());
    CYubinoSession session(app, Paths());
    ASSERT_TRUE(session.OpenFile(dir / "pals.ybf"));
    app.DeletePal("b@x");
    const std::string changed = TableBytes();

    EXPECT_TRUE(session.OpenOther(dir / "other.ybf", {}));
    EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), changed);
    EXPECT_EQ(session.Doc().GetPathName(), dir / "other.ybf");
    EXPECT_EQ(app.GetPalCount(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SessionTest, WhenTheStoreBeforeOpeningFailsTheUserDecides) {
    struct Row {
        const char* name;
        std::deque<bool> answers;
        bool opens;
    } rows[] = {
        {"keep the document", {false, false}, false},
        {"give the changes up", {false, true}, true},
    };
    WriteFileBytes(dir / "other.ybf", TableBytes());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeUserInterface rowUi;
        CYubinoApp rowApp(rowUi);
        rowApp.AddPal(Pal("a@x"));
        CYubinoSession session(rowApp, Paths());
        session.Doc().SetPathName(dir / "gone" / "pals.ybf");
        rowUi.yesNoAnswers = row.answers;
        EXPECT_EQ(session.OpenOther(dir / "other.ybf", {}), row.opens);
        EXPECT_EQ(rowApp.GetPalCount(), row.opens ? 0 : 1);
    }
}

}  // namespace

namespace {

// File, New stores the table into its file first, then opens the bytes of a table without
// pals; a file it cannot make leaves the document as it was, with a word.
TEST_F(SessionTest, NewFileStoresTheTableThenOpensAnEmptyFile) {
    const struct {
        const char* name;
        fs::path target;
        bool made;
        const char* told;  // a word of the message; empty for none
    } rows[] = {
        {"ANewName", dir / "new.ybf", true, ""},
        {"InAFolderThatIsGone", dir / "gone" / "new.ybf", false, "作成できませんでした"},
        {"TheFileInUse", dir / "pals.ybf", false, "使用中"},
    };
    const std::string noPals = TableBytes();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(dir / "new.ybf");
        ui.messages.clear();
        WriteFileBytes(dir / "pals.ybf", noPals);
        CYubinoSession session(app, Paths());
        ASSERT_TRUE(session.OpenFile(dir / "pals.ybf"));
        app.AddPal(Pal("a@x"));
        const std::string table = TableBytes();
        EXPECT_EQ(session.NewFile(row.target, {}), row.made);
        EXPECT_EQ(session.Doc().GetPathName(), row.made ? row.target : dir / "pals.ybf");
        EXPECT_EQ(app.GetPalCount(), row.made ? 0 : 1);
        if (row.made) {
            EXPECT_EQ(ReadFileBytes(row.target), noPals);
        }
        // Refused in use before anything is stored; otherwise stored first.
        EXPECT_EQ(ReadFileBytes(dir / "pals.ybf") == table, std::string(row.told) != "使用中");
        const bool told =
            !ui.messages.empty() && *row.told && ui.messages.back().text.find(row.told) != std::string::npos;
        EXPECT_EQ(told, *row.told != '\0');
        fs::remove(dir / "pals.ybf");
        app.ClearPals();
    }
}

TEST_F(SessionTest, OnlyAStartWithoutASettingsFileThatKeepsOneIsTheFirst) {
    EXPECT_TRUE(CYubinoSession(app, Paths()).IsFirstStart());
    AppPaths screenshot = Paths();
    screenshot.makeSettingsFile = false;
    EXPECT_FALSE(CYubinoSession(app, screenshot).IsFirstStart());
    WriteFileBytes(dir / "yubino.cfg", "");
    EXPECT_FALSE(CYubinoSession(app, Paths()).IsFirstStart());
}

}  // namespace
