#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

// Two documents in one process stand for two Yubino processes: each holds the file
// through its own open file, as a second process would.
struct Session {
    Session() { doc.SetLockWait({}); }
    FakeUserInterface ui;
    CYubinoApp app{ui};
    CYubinoDoc doc{app};
};

std::string OnePal(const std::string& address) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    CPenPal pal;
    pal.m_strMailAddress = address;
    app.AddPal(pal);
    return WritePalData(app);
}

class FileLockTest : public testing::Test {
protected:
    void SetUp() override { WriteFileBytes(dir / "pals.ybf", OnePal("first@x.jp")); }

    std::string InUse() const { return Utf8(FormatText(texts::kPalFileInUse, (dir / "pals.ybf").string())); }
    std::string InUseNotSaved(const std::string& name) const {
        return Utf8(FormatText(texts::kPalFileInUseNotSaved, (dir / name).string()));
    }

    TempDir dir;
};

TEST_F(FileLockTest, SecondSessionOpensReadOnlyAndCannotSaveIntoTheFile) {
    Session first, second;
    first.doc.OnOpenDocument(dir / "pals.ybf");
    EXPECT_FALSE(first.doc.IsReadOnly());
    EXPECT_TRUE(first.ui.messages.empty());

    second.doc.OnOpenDocument(dir / "pals.ybf");
    EXPECT_TRUE(second.doc.IsReadOnly());
    ASSERT_EQ(second.ui.messages.size(), 1u);
    EXPECT_EQ(second.ui.messages[0].text, InUse());
    EXPECT_EQ(second.app.GetPalCount(), 1) << "the data is still shown";

    second.app.DeletePal("first@x.jp");
    EXPECT_FALSE(second.doc.OnSaveDocument(dir / "pals.ybf").ok);
    EXPECT_EQ(second.ui.messages.back().text,
              Utf8(FormatText(texts::kPalFileReadOnlyNotSaved, (dir / "pals.ybf").string())));
    EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), OnePal("first@x.jp"));

    // Saved under another name, the changes are kept and that file is the second's own.
    ASSERT_TRUE(second.doc.OnSaveDocument(dir / "mine.ybf").ok);
    EXPECT_FALSE(second.doc.IsReadOnly());
    EXPECT_TRUE(second.doc.OnSaveDocument(dir / "mine.ybf").ok);
}

TEST_F(FileLockTest, TheLockFollowsTheFileAcrossSaves) {
    Session first, second;
    first.doc.OnOpenDocument(dir / "pals.ybf");
    ASSERT_TRUE(first.doc.OnSaveDocument(dir / "pals.ybf").ok);  // a new file replaces the old
    ASSERT_TRUE(first.doc.OnSaveDocument(dir / "pals.ybf").ok);
    second.doc.OnOpenDocument(dir / "pals.ybf");
    EXPECT_TRUE(second.doc.IsReadOnly());
    // Nor may the second save over a file the first one holds, by any name.
    Session third;
    WriteFileBytes(dir / "other.ybf", OnePal("other@x.jp"));
    third.doc.OnOpenDocument(dir / "other.ybf");
    EXPECT_FALSE(third.doc.OnSaveDocument(dir / "pals.ybf").ok);
    EXPECT_EQ(third.ui.messages.back().text, InUseNotSaved("pals.ybf"));
}

TEST_F(FileLockTest, ReadingOnlyTakesNoLockAndClosingReleasesIt) {
    {
        Session reader;
        reader.doc.OnOpenDocument(dir / "pals.ybf", CYubinoDoc::OpenMode::Read);
        EXPECT_TRUE(reader.ui.messages.empty());
        Session writer;
        writer.doc.OnOpenDocument(dir / "pals.ybf");
        EXPECT_FALSE(writer.doc.IsReadOnly()) << "a reader does not hold the file";
        EXPECT_FALSE(reader.doc.OnSaveDocument(dir / "pals.ybf").ok) << "but a reader cannot save over a writer";
    }
    Session later;
    later.doc.OnOpenDocument(dir / "pals.ybf");
    EXPECT_FALSE(later.doc.IsReadOnly()) << "the sessions above ended";
}

TEST_F(FileLockTest, ReopeningItsOwnFileKeepsItWritable) {
    Session session;
    session.doc.OnOpenDocument(dir / "pals.ybf");
    session.doc.OnOpenDocument(dir / "pals.ybf");
    EXPECT_FALSE(session.doc.IsReadOnly());
    EXPECT_TRUE(session.ui.messages.empty());
}

TEST_F(FileLockTest, AWriterThatFindsTheFileInUseReadsNothingAndChangesNothing) {
    Session first, command;
    first.doc.OnOpenDocument(dir / "pals.ybf");
    const CYubinoDoc::OpenResult result = command.doc.OnOpenDocument(dir / "pals.ybf", CYubinoDoc::OpenMode::Exclusive);
    EXPECT_EQ(result.status, CYubinoDoc::OpenStatus::Busy);
    EXPECT_EQ(command.app.GetPalCount(), 0);
    EXPECT_TRUE(command.doc.GetPathName().empty());
    ASSERT_EQ(command.ui.messages.size(), 1u);
    EXPECT_NE(command.ui.messages[0].text.find("使用中"), std::string::npos);
}

TEST_F(FileLockTest, EveryNameOfTheFileMeetsTheSameLock) {
    std::filesystem::create_symlink("pals.ybf", dir / "link.ybf");
    std::filesystem::create_directory(dir / "sub");
    Session first;
    first.doc.OnOpenDocument(dir / "link.ybf");
    for (const std::filesystem::path& name : {dir / "pals.ybf", dir / "sub" / ".." / "pals.ybf", dir / "link.ybf"}) {
        SCOPED_TRACE(name);
        Session other;
        other.doc.OnOpenDocument(name);
        EXPECT_TRUE(other.doc.IsReadOnly());
    }
}

TEST_F(FileLockTest, TheSecondWriterWaitsForTheFirstToLetGo) {
    CFileLock holder;
    ASSERT_EQ(holder.Acquire(dir / "pals.ybf"), CFileLock::Result::Locked);
    std::thread release([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        holder.Release();
    });
    CFileLock waiter;
    EXPECT_EQ(waiter.Acquire(dir / "pals.ybf", std::chrono::seconds(10)), CFileLock::Result::Locked);
    release.join();
    CFileLock third;
    EXPECT_EQ(third.Acquire(dir / "pals.ybf", std::chrono::milliseconds(50)), CFileLock::Result::Busy);
}

}  // namespace
