#include "storage/atomic_file.h"

#include <gtest/gtest.h>

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

}  // namespace
