#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/analysis_figures.h"
#include "analysis/analysis_tabs.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(const std::string& address) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    return pal;
}

class AnalysisTest : public testing::Test {
protected:
    void Add(const CPenPal& pal) { ASSERT_EQ(app.AddPal(pal), 1); }
    void AddWithAge(const std::string& utf8Age) {
        CPenPal pal = Pal("pal" + std::to_string(app.GetPalCount()) + "@example.jp");
        pal.m_strAge = Sjis(utf8Age);
        Add(pal);
    }
    // The totals tab as UTF-8 "item=data" lines.
    std::vector<std::string> Totals() {
        std::vector<std::string> out;
        for (const TextRow& row : BuildAnalysisTab(app, kTabTotals).rows)
            out.push_back(Utf8(row[0]) + "=" + Utf8(row[1]));
        return out;
    }
    std::string TotalsRow(int row) { return Totals().at(static_cast<std::size_t>(row)); }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

struct AgeCase {
    const char* name;
    const char* age;  // UTF-8
    long long value;
};

void PrintTo(const AgeCase& c, std::ostream* out) { *out << c.name; }

class AgeValueTest : public testing::TestWithParam<AgeCase> {};

TEST_P(AgeValueTest, ReadsTheNumber) { EXPECT_EQ(AgeValue(Sjis(GetParam().age)), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(Ages, AgeValueTest,
                         testing::Values(AgeCase{"FullWidth", "２５", 25}, AgeCase{"OneDigit", "１", 1},
                                         AgeCase{"ThreeDigits", "１１９", 119},
                                         AgeCase{"HalfWidthCountsWithItsValue", "25", 25},
                                         AgeCase{"MixedWidths", "2５", 25}, AgeCase{"Empty", "", 0},
                                         AgeCase{"NoDigits", "不明", 0}, AgeCase{"TrailingText", "２５才", 25},
                                         AgeCase{"LeadingFullWidthBlank", "　２０", 20},
                                         AgeCase{"FullWidthMinus", "－５", -5},
                                         AgeCase{"OnlyTheFirstTenBytesCount", "１２３４５６７", 12345},
                                         AgeCase{"LongHalfWidthDoesNotOverflow", "99999999999999999999", 9999999999}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AnalysisTest, EmptyTableShowsHeadersOnlyAndZeroTotals) {
    for (int tab : {kTabBasicData, kTabAllData, kTabReceivedDates}) {
        AnalysisTab t = BuildAnalysisTab(app, tab);
        EXPECT_FALSE(t.columns.empty());
        EXPECT_TRUE(t.rows.empty()) << "tab " << tab;
    }
    EXPECT_EQ(Totals(), (std::vector<std::string>{"登録ﾒｰﾙﾌﾚﾝﾄﾞ数=0 / 500人", "女性=0 人", "男性=0 人", "平均年齢=-",
                                                  "性別未設定=0 人", "マップ未設定=0 人", "名前未設定=0 人",
                                                  "年齢未設定=0 人", "登録マップ数=0 / 9"}));
}

TEST_F(AnalysisTest, AllAgesNotSetGiveNoAverage) {
    for (int i = 0; i < 3; ++i) AddWithAge("？");
    EXPECT_EQ(TotalsRow(3), "平均年齢=-");
    EXPECT_EQ(TotalsRow(7), "年齢未設定=3 人");
}

TEST_F(AnalysisTest, AverageAgeHasOneDecimal) {
    struct Case {
        const char* name;
        std::vector<const char*> ages;
        const char* shown;
    } cases[] = {
        {"TwentyAndThirtyOne", {"２０", "３１"}, "平均年齢=25.5 才"},
        {"TwentyAndTwentyOne", {"２０", "２１"}, "平均年齢=20.5 才"},
        {"SingleOne", {"１"}, "平均年齢=1.0 才"},
        {"NotSetIsLeftOut", {"２０", "？", "３０"}, "平均年齢=25.0 才"},
        {"HalfWidthCounts", {"20", "３０"}, "平均年齢=25.0 才"},
        {"ZeroAverageShowsDash", {"０", "不明"}, "平均年齢=-"},
    };
    for (const Case& c : cases) {
        app.ClearPals();
        for (const char* age : c.ages) AddWithAge(age);
        EXPECT_EQ(TotalsRow(3), c.shown) << c.name;
    }
}

TEST_F(AnalysisTest, CountsEachPalInEveryTest) {
    auto make = [&](const char* sex, const char* name, const char* map) {
        CPenPal pal = Pal("p" + std::to_string(app.GetPalCount()));
        pal.m_strSex = Sjis(sex);
        pal.m_strName = Sjis(name);
        pal.m_strMapName = Sjis(map);
        Add(pal);
    };
    make("女", "花子", "関東");
    make("男", "", "");
    make("？", "太郎", "");
    make("", "", "世界");
    make("おとこ", "次郎", "近畿");
    make("女", "", "関東");
    make("", "", "火星");
    EXPECT_EQ(Totals(), (std::vector<std::string>{"登録ﾒｰﾙﾌﾚﾝﾄﾞ数=7 / 500人", "女性=2 人", "男性=1 人", "平均年齢=-",
                                                  "性別未設定=4 人", "マップ未設定=2 人", "名前未設定=4 人",
                                                  "年齢未設定=7 人", "登録マップ数=3 / 9"}));
}

TEST(CorrespondenceDays, CountsWholeDaysFromTruncatedSerials) {
    struct Case {
        const char* name;
        double first, last;
        std::int64_t days;
    } cases[] = {
        {"SameDayOtherHours", 37000.1, 37000.9, 0},
        {"NextDayEarlierHour", 37000.9, 37001.1, 1},
        {"LastBeforeFirst", 37010.5, 37007.0, -3},
        {"NeverSet", kDefaultPalDate, kDefaultPalDate, 0},
        {"BeforeEpochTruncatesTowardZero", -1.5, 1.5, 2},
        {"DamagedSerialCountsAsZero", std::numeric_limits<double>::quiet_NaN(), 10.0, 10},
        {"HugeSerialCountsAsZero", 1e300, 5.0, 5},
    };
    for (const Case& c : cases) {
        CPenPal pal;
        pal.m_dtFirstMail = COleDateTime(c.first, COleDateTime::valid);
        pal.m_dtLastMail = COleDateTime(c.last, COleDateTime::valid);
        EXPECT_EQ(CorrespondenceDays(pal), c.days) << c.name;
    }
}

TEST_F(AnalysisTest, PerPalTabsHaveTheirColumns) {
    auto describe = [&](int tab) {
        std::string out;
        for (const TextColumn& c : BuildAnalysisTab(app, tab).columns)
            out += Utf8(c.title) + ":" + std::to_string(c.width) + " ";
        return out;
    };
    EXPECT_EQ(describe(kTabBasicData), "ﾊﾝﾄﾞﾙﾈｰﾑ:100 名前:100 性別:40 年齢:40 ﾒｰﾙｱﾄﾞﾚｽ:130 居住地:130 所属ﾏｯﾌﾟ:100 ");
    EXPECT_EQ(describe(kTabAllData),
              "ﾊﾝﾄﾞﾙﾈｰﾑ:100 名前:100 性別:40 年齢:40 ﾒｰﾙｱﾄﾞﾚｽ:130 職業:100 ホームページ:100 居住地:130 "
              "出身地:100 血液型:60 誕生日:100 最初のﾒｰﾙ受信日:120 最後のﾒｰﾙ受信日:120 電話番号1:100 "
              "電話番号2:100 趣味:100 所属ﾏｯﾌﾟ:100 ");
    EXPECT_EQ(describe(kTabReceivedDates), "ﾊﾝﾄﾞﾙﾈｰﾑ:100 最初のﾒｰﾙ受信日:120 最後のﾒｰﾙ受信日:120 ﾒｰﾙ継続日数:100 ");
    EXPECT_EQ(describe(kTabTotals), "項目:120 データ:100 ");
}

TEST_F(AnalysisTest, PerPalRowsFollowTheTableAndShowTextsAsStored) {
    CPenPal a = Pal("a@example.jp");
    a.m_strHandleName = Sjis("あきこ");
    a.m_strJob = Sjis("学生");
    a.m_strHomePage = "http://a.example.jp/";
    a.m_dtBirthday = COleDateTime(1980, 2, 29);
    a.m_dtFirstMail = COleDateTime(2002, 4, 1, 23, 59, 0);
    a.m_dtLastMail = COleDateTime(2002, 4, 11, 0, 1, 0);
    a.m_strTel1 = "03-1234";
    a.m_strHobby = Sjis("読書");
    a.m_strMapName = Sjis("関東");
    CPenPal b = Pal("b@example.jp");
    b.m_strHandleName = "bob";
    Add(a);
    Add(b);

    auto rowText = [&](int tab, int row) {
        const AnalysisTab shown = BuildAnalysisTab(app, tab);
        std::string out;
        for (const std::string& cell : shown.rows.at(static_cast<std::size_t>(row))) out += Utf8(cell) + "|";
        return out;
    };
    EXPECT_EQ(rowText(kTabBasicData, 0), "あきこ||？|？|a@example.jp||関東|");
    EXPECT_EQ(rowText(kTabBasicData, 1), "bob||？|？|b@example.jp|||");
    EXPECT_EQ(
        rowText(kTabAllData, 0),
        "あきこ||？|？|a@example.jp|学生|http://a.example.jp/|||？|1980/02/29|2002/04/01|2002/04/11|03-1234||読書|"
        "関東|");
    EXPECT_EQ(rowText(kTabReceivedDates, 0), "あきこ|2002/04/01|2002/04/11|10|");
    EXPECT_EQ(rowText(kTabReceivedDates, 1), "bob|2000/01/01|2000/01/01|0|");
}

TEST_F(AnalysisTest, TabTitlesInOrder) {
    std::vector<std::string> titles;
    for (const std::string& t : AnalysisTabTitles()) titles.push_back(Utf8(t));
    EXPECT_EQ(titles, (std::vector<std::string>{"基本ﾃﾞｰﾀ", "総合ﾃﾞｰﾀ", "受信日", "合計/平均"}));
    EXPECT_EQ(Utf8(BuildAnalysisTab(app, kTabTotals).title), "合計/平均");
    EXPECT_TRUE(BuildAnalysisTab(app, 4).columns.empty());
}

}  // namespace
