#include "storage/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace {

TEST(AtomicFile, ReplacesContentAndKeepsPermissions) {
    TempDir dir;
    WriteFileBytes(dir / "f", "old content");
    std::filesystem::permissions(dir / "f", std::filesystem::perms(0640));
    ASSERT_TRUE(WriteFileAtomically(dir / "f", "new").ok);
    EXPECT_EQ(ReadFileBytes(dir / "f"), "new");
    EXPECT_EQ(std::filesystem::status(dir / "f").permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
}

TEST(AtomicFile, FailureLeavesTheOldFileWhole) {
    TempDir dir;
    WriteFileBytes(dir / "f", "precious");
    // A directory in the file's place cannot be replaced by a file.
    std::filesystem::create_directory(dir / "d");
    WriteResult result = WriteFileAtomically(dir / "d", "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "f", "x").ok);
    EXPECT_EQ(ReadFileBytes(dir / "f"), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(AtomicFile, UnwritableDirectoryIsAFailure) {
    EXPECT_FALSE(IsWritableDirectory("/proc"));
    EXPECT_FALSE(WriteFileAtomically("/proc/yubino-test", "x").ok);
    TempDir dir;
    EXPECT_TRUE(IsWritableDirectory(dir.path()));
}

namespace fs = std::filesystem;

// Saving through a link writes the file it points to, wherever that is, and the link stays.
TEST(AtomicFile, WritesThroughSymbolicLinksAndKeepsThem) {
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link -> target, in order made
        std::string written;                                     // the path written to
        std::string target;                                      // where the content lands
    };
    const Row rows[] = {
        {"relative", {{"data.ybf", "real/pals.ybf"}}, "data.ybf", "real/pals.ybf"},
        {"absolute", {{"data.ybf", "@/real/pals.ybf"}}, "data.ybf", "real/pals.ybf"},
        {"chain", {{"hop.ybf", "real/pals.ybf"}, {"data.ybf", "hop.ybf"}}, "data.ybf", "real/pals.ybf"},
        {"to a folder's file", {{"real/up.ybf", "../top.ybf"}}, "real/up.ybf", "top.ybf"},
        {"dangling", {{"data.ybf", "real/new.ybf"}}, "data.ybf", "real/new.ybf"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        fs::create_directory(dir / "real");
        WriteFileBytes(dir / "real/pals.ybf", "old");
        WriteFileBytes(dir / "top.ybf", "old");
        for (const auto& [link, target] : row.links)
            fs::create_symlink(target[0] == '@' ? (dir.path() / target.substr(2)).string() : target, dir / link);
        ASSERT_TRUE(WriteFileAtomically(dir / row.written, "new").ok);
        EXPECT_EQ(ReadFileBytes(dir / row.target), "new");
        for (const auto& link : row.links) EXPECT_TRUE(fs::is_symlink(dir / link.first)) << link.first;
        EXPECT_EQ(ReadFileBytes(dir / row.written), "new");
    }
}

TEST(AtomicFile, ALinkLoopIsRefusedWithItsReason) {
    TempDir dir;
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    const WriteResult result = WriteFileAtomically(dir / "a", "x");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("循環"), std::string::npos) << result.error;
    EXPECT_TRUE(fs::is_symlink(dir / "a"));
}

TEST(AtomicFile, StaleTemporariesOfDeadProcessesAreRemovedOthersKept) {
    TempDir dir;
    WriteFileBytes(dir / "pals.ybf", "pals");
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string deadTemp = ".pals.ybf.yubino-tmp." + std::to_string(dead) + ".Ab12Cd";
    const std::string liveTemp = ".pals.ybf.yubino-tmp." + std::to_string(::getpid()) + ".Ef34Gh";
    const std::string othersTemp = ".other.ybf.yubino-tmp." + std::to_string(dead) + ".Ij56Kl";
    for (const std::string& name : {deadTemp, liveTemp, othersTemp, std::string("pals.ybf.bak")})
        WriteFileBytes(dir / name, "x");

    ASSERT_TRUE(WriteFileAtomically(dir / "pals.ybf", "new").ok);
    RemoveStaleTemporaries(dir / "pals.ybf");
    EXPECT_FALSE(fs::exists(dir / deadTemp));
    EXPECT_TRUE(fs::exists(dir / liveTemp)) << "a running process may still rename it";
    EXPECT_TRUE(fs::exists(dir / othersTemp)) << "another file's";
    EXPECT_TRUE(fs::exists(dir / "pals.ybf.bak"));
}

TEST(AtomicFile, AFailedWriteNamesItsReasonInJapanese) {
    TempDir dir;
    const WriteResult gone = WriteFileAtomically(dir / "missing" / "f", "x");
    EXPECT_EQ(gone.error, "保存先のフォルダがありません");
}

}  // namespace
