#include "storage/yubino_doc.h"

#include <gtest/gtest.h>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

CPenPal Pal(const std::string& address) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = Sjis("ゆび");
    return pal;
}

// Records the document's path at each refresh, to show the order of the steps after a load.
class RecordingUserInterface : public FakeUserInterface {
public:
    const CYubinoDoc* doc = nullptr;
    void UpdateListView() override { events.push_back("list, path " + doc->GetPathName().filename().string()); }
    void UpdateMapView() override { events.push_back("map, path " + doc->GetPathName().filename().string()); }
};

class YubinoDocTest : public testing::Test {
protected:
    YubinoDocTest() { ui.doc = &doc; }

    std::string PalData(const std::vector<CPenPal>& pals) {
        FakeUserInterface quiet;
        CYubinoApp source(quiet);
        for (const CPenPal& pal : pals) source.AddPal(pal);
        return WritePalData(source);
    }
    std::vector<std::string> Addresses() const {
        std::vector<std::string> out;
        for (const CPenPal& pal : app.Pals()) out.push_back(pal.m_strMailAddress);
        return out;
    }
    std::string Message(const char* text, const fs::path& path) { return Utf8(FormatText(text, path.string())); }
    std::string DamagedMessage(const fs::path& path) {
        return Message(texts::kPalFileDamaged, path) + texts::kPalFileDamagedBackup;
    }

    TempDir dir;
    RecordingUserInterface ui;
    CYubinoApp app{ui};
    CYubinoDoc doc{app};
};

TEST_F(YubinoDocTest, OpenReplacesTheTableThenRefreshesListPathAndMap) {
    WriteFileBytes(dir / "a.ybf", PalData({Pal("a@x.jp"), Pal("b@x.jp")}));
    WriteFileBytes(dir / "b.ybf", PalData({Pal("c@x.jp")}));
    ASSERT_EQ(doc.OnOpenDocument(dir / "a.ybf").status, CYubinoDoc::OpenStatus::Loaded);
    ui.events.clear();

    CYubinoDoc::OpenResult result = doc.OnOpenDocument(dir / "b.ybf");
    EXPECT_EQ(result.status, CYubinoDoc::OpenStatus::Loaded);
    EXPECT_EQ(Addresses(), std::vector<std::string>{"c@x.jp"});
    EXPECT_EQ(ui.events, (std::vector<std::string>{"list, path a.ybf", "map, path b.ybf"}));
    EXPECT_EQ(doc.GetPathName(), dir / "b.ybf");
    EXPECT_EQ(doc.GetTitle(), "b.ybf");
}

TEST_F(YubinoDocTest, EmptyFileKeepsTheTableButBecomesTheDocument) {
    WriteFileBytes(dir / "a.ybf", PalData({Pal("a@x.jp")}));
    WriteFileBytes(dir / "empty.ybf", "");
    doc.OnOpenDocument(dir / "a.ybf");
    EXPECT_EQ(doc.OnOpenDocument(dir / "empty.ybf").status, CYubinoDoc::OpenStatus::KeptTable);
    EXPECT_EQ(Addresses(), std::vector<std::string>{"a@x.jp"});
    EXPECT_EQ(doc.GetPathName(), dir / "empty.ybf");
    EXPECT_TRUE(ui.messages.empty());

    ASSERT_TRUE(doc.OnSaveDocument(doc.GetPathName()).ok);
    EXPECT_EQ(ReadFileBytes(dir / "empty.ybf"), PalData({Pal("a@x.jp")}));
    EXPECT_FALSE(fs::exists(dir / "empty.ybf.bak"));
}

TEST_F(YubinoDocTest, FilesThatCannotBeLoadedChangeNothing) {
    WriteFileBytes(dir / "a.ybf", PalData({Pal("a@x.jp")}));
    WriteFileBytes(dir / "notes.txt", "hello, world\n");
    fs::create_directory(dir / "folder.ybf");
    doc.OnOpenDocument(dir / "a.ybf");
    struct Row {
        const char* name;
        fs::path path;
        CYubinoDoc::OpenStatus status;
        const char* message;
    };
    const Row rows[] = {
        {"another kind of file", dir / "notes.txt", CYubinoDoc::OpenStatus::Refused, texts::kPalFileForeign},
        {"a directory", dir / "folder.ybf", CYubinoDoc::OpenStatus::CannotOpen, texts::kPalFileUnreadable},
        {"a missing file", dir / "missing.ybf", CYubinoDoc::OpenStatus::CannotOpen, texts::kPalFileUnreadable},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ui.messages.clear();
        ui.events.clear();
        EXPECT_EQ(doc.OnOpenDocument(row.path).status, row.status);
        ASSERT_EQ(ui.messages.size(), 1u);
        // The message names the file; a reason may follow on a line of its own.
        EXPECT_TRUE(ui.messages[0].text.starts_with(Message(row.message, row.path))) << ui.messages[0].text;
        EXPECT_EQ(ui.events.size(), 1u) << "no refresh";
        EXPECT_EQ(Addresses(), std::vector<std::string>{"a@x.jp"});
        EXPECT_EQ(doc.GetPathName(), dir / "a.ybf");
    }
    // The foreign file is never the one saved into.
    ASSERT_TRUE(doc.OnSaveDocument(doc.GetPathName()).ok);
    EXPECT_EQ(ReadFileBytes(dir / "notes.txt"), "hello, world\n");
}

TEST_F(YubinoDocTest, DamagedFileIsToldOnceAndBackedUpBeforeItsFirstOverwrite) {
    const std::string whole = PalData({Pal("a@x.jp"), Pal("b@x.jp"), Pal("c@x.jp")});
    const std::string damaged = whole.substr(0, whole.size() - 5);
    WriteFileBytes(dir / "d.ybf", damaged);

    CYubinoDoc::OpenResult result = doc.OnOpenDocument(dir / "d.ybf");
    EXPECT_EQ(result.status, CYubinoDoc::OpenStatus::Loaded);
    EXPECT_FALSE(result.read.complete);
    EXPECT_EQ(Addresses(), (std::vector<std::string>{"a@x.jp", "b@x.jp"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, DamagedMessage(dir / "d.ybf"));

    ASSERT_TRUE(doc.OnSaveDocument(dir / "d.ybf").ok);
    EXPECT_EQ(ReadFileBytes(dir / "d.ybf.bak"), damaged);
    EXPECT_EQ(ReadFileBytes(dir / "d.ybf"), PalData({Pal("a@x.jp"), Pal("b@x.jp")}));

    app.DeletePal("a@x.jp");
    ASSERT_TRUE(doc.OnSaveDocument(dir / "d.ybf").ok);
    EXPECT_EQ(ReadFileBytes(dir / "d.ybf.bak"), damaged) << "the backup is made once";
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(YubinoDocTest, RepeatedAddressesCountAsDamage) {
    const std::string bytes = PalData({Pal("a@x.jp")}) + PalData({Pal("a@x.jp")}).substr(kPalDataMagic.size());
    WriteFileBytes(dir / "r.ybf", bytes);
    EXPECT_EQ(doc.OnOpenDocument(dir / "r.ybf").read.refused, 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, Utf8(FormatText(texts::kAlreadyRegistered, "a@x.jp")));
    EXPECT_EQ(ui.messages[1].text, DamagedMessage(dir / "r.ybf"));
    ASSERT_TRUE(doc.OnSaveDocument(dir / "r.ybf").ok);
    EXPECT_EQ(ReadFileBytes(dir / "r.ybf.bak"), bytes);
}

TEST_F(YubinoDocTest, CleanFileGetsNoBackup) {
    WriteFileBytes(dir / "a.ybf", PalData({Pal("a@x.jp")}));
    doc.OnOpenDocument(dir / "a.ybf");
    ASSERT_TRUE(doc.OnSaveDocument(dir / "a.ybf").ok);
    EXPECT_FALSE(fs::exists(dir / "a.ybf.bak"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(YubinoDocTest, SaveAsMovesTheDocumentAndLeavesTheDamagedFileForLater) {
    const std::string whole = PalData({Pal("a@x.jp"), Pal("b@x.jp")});
    WriteFileBytes(dir / "d.ybf", whole.substr(0, whole.size() - 1));
    doc.OnOpenDocument(dir / "d.ybf");
    ASSERT_TRUE(doc.OnSaveDocument(dir / "new.ybf").ok);
    EXPECT_EQ(doc.GetPathName(), dir / "new.ybf");
    EXPECT_FALSE(fs::exists(dir / "new.ybf.bak"));
    ASSERT_TRUE(doc.OnSaveDocument(dir / "d.ybf").ok);
    EXPECT_EQ(ReadFileBytes(dir / "d.ybf.bak"), whole.substr(0, whole.size() - 1));
}

TEST_F(YubinoDocTest, FailedSaveIsReportedAndLosesNothing) {
    const std::string whole = PalData({Pal("a@x.jp"), Pal("b@x.jp")});
    const std::string damaged = whole.substr(0, whole.size() - 1);
    WriteFileBytes(dir / "d.ybf", damaged);
    fs::create_directory(dir / "folder.ybf");
    // A directory where the backup belongs: no backup, so no overwrite.
    fs::create_directory(dir / "d.ybf.bak");
    doc.OnOpenDocument(dir / "d.ybf");
    ui.messages.clear();

    struct Row {
        const char* name;
        fs::path path;
    };
    const Row rows[] = {
        {"backup impossible", dir / "d.ybf"},
        {"a directory in the file's place", dir / "folder.ybf"},
        {"a directory no file can be made in", "/proc/yubino-test.ybf"},
        {"no path", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ui.messages.clear();
        WriteResult result = doc.OnSaveDocument(row.path);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.empty());
        ASSERT_EQ(ui.messages.size(), 1u);
        const std::string expected =
            Message(texts::kPalFileNotSaved, row.path.empty() ? row.path : fs::absolute(row.path));
        EXPECT_TRUE(ui.messages[0].text.starts_with(expected + "\r\n（")) << ui.messages[0].text;
        EXPECT_EQ(doc.GetPathName(), dir / "d.ybf");
    }
    EXPECT_EQ(ReadFileBytes(dir / "d.ybf"), damaged);
    EXPECT_TRUE(fs::is_directory(dir / "folder.ybf"));
}

}  // namespace
