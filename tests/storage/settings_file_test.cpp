#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

struct FirstLineCase {
    const char* name;
    std::string content;
    std::string expected;
};
void PrintTo(const FirstLineCase& c, std::ostream* os) { *os << c.name; }

class SettingsFirstLineTest : public testing::TestWithParam<FirstLineCase> {};

TEST_P(SettingsFirstLineTest, ReadsOnlyTheFirstLine) {
    TempDir dir;
    WriteFileBytes(dir / "yubino.cfg", GetParam().content);
    EXPECT_EQ(ReadSettingsFile(dir / "yubino.cfg"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Content, SettingsFirstLineTest,
    testing::Values(FirstLineCase{"Empty", "", ""}, FirstLineCase{"NoLineEnd", "/home/u/pals.ybf", "/home/u/pals.ybf"},
                    FirstLineCase{"LfAndMore", "/home/u/pals.ybf\nmore text\n", "/home/u/pals.ybf"},
                    FirstLineCase{"CrLf", "/home/u/pals.ybf\r\nmore", "/home/u/pals.ybf"},
                    FirstLineCase{"BlankFirstLine", "\n/home/u/pals.ybf", ""},
                    FirstLineCase{"NotText", std::string("\x89PNG\0\x01\x02", 7), "\x89PNG"},
                    FirstLineCase{"Japanese", "/home/u/メール友達.ybf\n", "/home/u/メール友達.ybf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFile, MissingFileIsCreatedEmpty) {
    TempDir dir;
    EXPECT_EQ(ReadSettingsFile(dir / "yubino.cfg"), "");
    EXPECT_TRUE(std::filesystem::exists(dir / "yubino.cfg"));
}

TEST(SettingsFile, UncreatableFileGivesNothing) {
    TempDir dir;
    EXPECT_EQ(ReadSettingsFile(dir / "no-such-dir" / "yubino.cfg"), std::nullopt);
}

TEST(SettingsFile, WritesThePathWithoutALineEnd) {
    TempDir dir;
    WriteFileBytes(dir / "yubino.cfg", "/old/path/that/was/longer.ybf\nrest");
    ASSERT_TRUE(WriteSettingsFile(dir / "yubino.cfg", "/p/サンプル.ybf").ok);
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), "/p/サンプル.ybf");
}

}  // namespace
