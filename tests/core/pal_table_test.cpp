#include <gtest/gtest.h>

#include <cmath>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(const std::string& address, const std::string& handle = "") {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = handle;
    return pal;
}

std::vector<std::string> Addresses(const CYubinoApp& app) {
    std::vector<std::string> out;
    for (const CPenPal& pal : app.Pals()) out.push_back(pal.m_strMailAddress);
    return out;
}

class PalTableTest : public testing::Test {
protected:
    void Fill(int count) {
        for (int i = 0; i < count; ++i) ASSERT_EQ(app.AddPal(Pal("pal" + std::to_string(i) + "@example.jp")), 1);
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST(PenPal, FreshRecordHasTheDefaults) {
    CPenPal pal;
    EXPECT_EQ(pal.m_strSex, Sjis("？"));
    EXPECT_EQ(pal.m_strAge, Sjis("？"));
    EXPECT_EQ(pal.m_strBloodType, Sjis("？"));
    EXPECT_EQ(pal.m_dtBirthday, COleDateTime(2000, 1, 1));
    EXPECT_EQ(pal.m_dtFirstMail, COleDateTime(2000, 1, 1));
    EXPECT_EQ(pal.m_dtLastMail, COleDateTime(2000, 1, 1));
    EXPECT_EQ(pal.m_nFaceIcon, 0);
    EXPECT_EQ(pal.m_bUsePicture, 0);
    EXPECT_TRUE(pal.m_strHandleName.empty());
}

TEST(PenPal, ResetKeepsTextsAndPictureChoice) {
    CPenPal pal;
    pal.m_strHandleName = "taro";
    pal.m_strAge = Sjis("２０");
    pal.m_nFaceIcon = 7;
    pal.m_nMapX = 100;
    pal.m_bUsePicture = 1;
    pal.m_strPictureFile = "/p.jpg";
    pal.Reset();
    EXPECT_EQ(pal.m_strHandleName, "taro");
    EXPECT_EQ(pal.m_strAge, Sjis("？"));
    EXPECT_EQ(pal.m_nFaceIcon, 0);
    EXPECT_EQ(pal.m_nMapX, 0);
    EXPECT_EQ(pal.m_bUsePicture, 1);
    EXPECT_EQ(pal.m_strPictureFile, "/p.jpg");
}

TEST_F(PalTableTest, EmptyTableFindsNothing) {
    CPenPal out = Pal("untouched");
    EXPECT_EQ(app.GetPalCount(), 0);
    EXPECT_EQ(app.GetPal(0, out), 0);
    EXPECT_EQ(app.FindPalByAddress("", out), 0);
    EXPECT_EQ(out.m_strMailAddress, "untouched");
    app.DeletePal("x");
    app.ChangePalAddress("x", "y");
    EXPECT_EQ(app.ReplacePal(Pal("x")), 0);
    EXPECT_TRUE(ui.events.empty()) << "no table operation refreshes a view or speaks";
}

TEST_F(PalTableTest, HoldsFiveHundredPalsAndRefusesMore) {
    Fill(499);
    EXPECT_EQ(app.AddPal(Pal("last@example.jp")), 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(app.AddPal(Pal("one-more@example.jp")), 0);
    // Full is checked first, so a present address also reports a full table.
    EXPECT_EQ(app.AddPal(Pal("pal0@example.jp")), 0);
    EXPECT_EQ(app.GetPalCount(), 500);
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.text, "これ以上メールフレンドを追加できません\r\n他のメールフレンドを削除してから追加してください");
        EXPECT_EQ(m.kind, MessageKind::Warning);
    }
    CPenPal out;
    EXPECT_EQ(app.GetPal(499, out), 1);
    EXPECT_EQ(out.m_strMailAddress, "last@example.jp");
    EXPECT_EQ(app.GetPal(500, out), 0);
    EXPECT_EQ(app.GetPal(-1, out), 0);
}

TEST_F(PalTableTest, KeysAreExactBytes) {
    EXPECT_EQ(app.AddPal(Pal("Taro@Example.jp")), 1);
    EXPECT_EQ(app.AddPal(Pal("taro@example.jp")), 1);  // differs only in case: kept
    EXPECT_EQ(app.AddPal(Pal("")), 1);
    EXPECT_EQ(app.AddPal(Pal("", "second")), 0);  // the empty address is a key like any
    EXPECT_EQ(app.AddPal(Pal("taro@example.jp")), 0);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "メールアドレス\"  \"は既に登録されているので追加できません");
    EXPECT_EQ(ui.messages[1].text, "メールアドレス\" taro@example.jp \"は既に登録されているので追加できません");
    EXPECT_EQ(app.GetPalCount(), 3);
}

TEST_F(PalTableTest, DeleteKeepsTheOrderOfTheRest) {
    Fill(3);
    app.DeletePal("pal0@example.jp");
    EXPECT_EQ(Addresses(app), (std::vector<std::string>{"pal1@example.jp", "pal2@example.jp"}));
}

TEST_F(PalTableTest, ChangedAddressThenReplaceKeepsThePosition) {
    Fill(3);
    CPenPal pal;
    ASSERT_EQ(app.FindPalByAddress("pal1@example.jp", pal), 1);
    pal.m_strMailAddress = "new@example.jp";
    pal.m_strName = Sjis("花子");
    EXPECT_EQ(app.ReplacePal(pal), 0) << "the new address is not in the table yet";
    app.ChangePalAddress("pal1@example.jp", "new@example.jp");
    EXPECT_EQ(app.ReplacePal(pal), 1);
    CPenPal out;
    ASSERT_EQ(app.GetPal(1, out), 1);
    EXPECT_EQ(out, pal);
}

struct SortCase {
    const char* name;
    int key;
    bool ascending;
    std::vector<std::string> values;  // UTF-8 texts of the sorted field, in input order
    std::vector<std::string> expected;
};
void PrintTo(const SortCase& c, std::ostream* os) { *os << c.name; }


class SortPalsTest : public testing::TestWithParam<SortCase> {};

std::string CPenPal::*TextField(int key) {
    switch (key) {
        case kSortHandleName: return &CPenPal::m_strHandleName;
        case kSortAge: return &CPenPal::m_strAge;
        case kSortMapName: return &CPenPal::m_strMapName;
        default: return nullptr;
    }
}

TEST_P(SortPalsTest, OrdersTheTable) {
    const SortCase& c = GetParam();
    FakeUserInterface ui;
    CYubinoApp app(ui);
    for (std::size_t i = 0; i < c.values.size(); ++i) {
        CPenPal pal = Pal(std::to_string(i));
        pal.*TextField(c.key) = Sjis(c.values[i]);
        app.AddPal(pal);
    }
    app.SortPals(c.key, c.ascending);
    std::vector<std::string> sorted;
    for (const CPenPal& pal : app.Pals()) sorted.push_back(Utf8(pal.*TextField(c.key)));
    EXPECT_EQ(sorted, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SortPalsTest,
    testing::Values(
        SortCase{"AgesAsTextWithUnknownFirst", kSortAge, true, {"９", "１０", "？", "２０"}, {"？", "１０", "２０", "９"}},
        SortCase{"AgesDescending", kSortAge, false, {"１０", "？", "９"}, {"９", "１０", "？"}},
        SortCase{"HalfWidthKatakanaBeforeDoubleByte",
                 kSortHandleName,
                 true,
                 {"あ", "ｱ", "B", "ア", "a"},
                 {"B", "a", "ｱ", "あ", "ア"}},
        SortCase{"MapNames", kSortMapName, true, {"関東", "", "九州"}, {"", "関東", "九州"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PalTableTest, SortsNumbersAndDates) {
    for (int icon : {5, -1, 0, 114}) {
        CPenPal pal = Pal("icon" + std::to_string(icon));
        pal.m_nFaceIcon = icon;
        pal.m_nMapX = icon;
        pal.m_dtLastMail = COleDateTime(2000 + (icon & 7), 1, 1);
        app.AddPal(pal);
    }
    auto icons = [&] {
        std::vector<int> out;
        for (const CPenPal& pal : app.Pals()) out.push_back(pal.m_nFaceIcon);
        return out;
    };
    app.SortPals(kSortFaceIcon, true);  // unsigned: -1 is the largest
    EXPECT_EQ(icons(), (std::vector<int>{0, 5, 114, -1}));
    app.SortPals(kSortMapX, true);  // signed
    EXPECT_EQ(icons(), (std::vector<int>{-1, 0, 5, 114}));
    app.SortPals(kSortLastMail, false);  // years 2007, 2005, 2002, 2000
    EXPECT_EQ(icons(), (std::vector<int>{-1, 5, 114, 0}));
    app.SortPals(99, true);  // an unknown key compares everything equal
    EXPECT_EQ(app.GetPalCount(), 4);
}

TEST_F(PalTableTest, DamagedDatesStillSort) {
    Fill(40);
    std::vector<CPenPal> pals(app.Pals());
    CYubinoApp other(ui);
    for (std::size_t i = 0; i < pals.size(); ++i) {
        pals[i].m_dtBirthday.m_dt = i % 3 == 0 ? NAN : static_cast<double>(i);
        other.AddPal(pals[i]);
    }
    other.SortPals(kSortBirthday, true);
    EXPECT_EQ(other.GetPalCount(), 40);
    EXPECT_TRUE(std::isnan(other.Pals().front().m_dtBirthday.m_dt));
    EXPECT_EQ(other.Pals().back().m_dtBirthday.m_dt, 38.0);
}

TEST(Texts, FormatInsertsCp932Arguments) {
    EXPECT_EQ(Utf8(FormatText("%s さんのデータを更新しました", Sjis("太郎"))), "太郎 さんのデータを更新しました");
    EXPECT_EQ(Utf8(FormatText(" %d 名のメールフレンドを削除しますか？", 3)), " 3 名のメールフレンドを削除しますか？");
}

}  // namespace
