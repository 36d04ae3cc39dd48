#include "analysis/chart_data.h"

#include <gtest/gtest.h>

#include "core/maps.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(const char* sex, const char* age, const char* map, COleDateTime firstMail = COleDateTime(2000, 1, 1)) {
    CPenPal pal;
    pal.m_strSex = Sjis(sex);
    pal.m_strAge = Sjis(age);
    pal.m_strMapName = Sjis(map);
    pal.m_dtFirstMail = firstMail;
    return pal;
}

// Labels (UTF-8) and counts of a chart, for readable comparisons.
std::vector<std::pair<std::string, int>> Bars(const ChartData& chart) {
    std::vector<std::pair<std::string, int>> bars;
    for (const ChartBar& bar : chart.bars) bars.emplace_back(Utf8(bar.label), bar.count);
    return bars;
}

using Bars_ = std::vector<std::pair<std::string, int>>;

TEST(ChartDataTest, SexCountsWomenMenAndTheRest) {
    const std::vector<CPenPal> pals = {Pal("女", "？", ""), Pal("男", "？", ""), Pal("女", "？", ""),
                                       Pal("？", "？", ""), Pal("", "？", "")};
    const ChartData chart = BuildChart(pals, ChartKind::Sex);
    EXPECT_TRUE(chart.pie);
    EXPECT_EQ(Bars(chart), (Bars_{{"女性", 2}, {"男性", 1}, {"未設定", 2}}));
}

TEST(ChartDataTest, AgesFallIntoFiveYearBandsWithEmptyBandsBetween) {
    const struct {
        const char* name;
        std::vector<const char*> ages;
        Bars_ bars;
    } rows[] = {
        {"no age set", {"？", "？"}, {}},
        {"band edges", {"２０", "２４", "２５"}, {{"20-24", 2}, {"25-29", 1}}},
        {"a gap stays a band", {"１８", "３１"}, {{"15-19", 1}, {"20-24", 0}, {"25-29", 0}, {"30-34", 1}}},
        {"half-width ages as they are, unreadable ones nowhere",
         {"25", "ＡＢ", "３"},
         {{"0-4", 1}, {"5-9", 0}, {"10-14", 0}, {"15-19", 0}, {"20-24", 0}, {"25-29", 1}}},
    };
    for (const auto& row : rows) {
        std::vector<CPenPal> pals;
        for (const char* age : row.ages) pals.push_back(Pal("？", age, ""));
        EXPECT_EQ(Bars(BuildChart(pals, ChartKind::Age)), row.bars) << row.name;
    }
    const ChartData widest = BuildChart({Pal("？", "１", ""), Pal("？", "１１９", "")}, ChartKind::Age);
    ASSERT_EQ(widest.bars.size(), 24u);
    EXPECT_EQ(Bars(widest).back(), (std::pair<std::string, int>{"115-119", 1}));
}

TEST(ChartDataTest, MapsInTableOrderEachInItsColourThenPalsWithoutAMap) {
    const std::vector<CPenPal> pals = {Pal("？", "？", "世界"), Pal("？", "？", "関東"), Pal("？", "？", "関東"),
                                       Pal("？", "？", ""), Pal("？", "？", "火星")};
    const ChartData chart = BuildChart(pals, ChartKind::Maps);
    ASSERT_EQ(chart.bars.size(), 10u);
    EXPECT_EQ(Bars(chart)[2], (std::pair<std::string, int>{"関東", 2}));
    EXPECT_EQ(Bars(chart)[8], (std::pair<std::string, int>{"世界", 1}));
    EXPECT_EQ(Bars(chart)[9], (std::pair<std::string, int>{"未設定", 2}));  // no map, or one that is none of the nine
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        for (std::size_t j = i + 1; j < chart.bars.size(); ++j) EXPECT_NE(chart.bars[i].rgb, chart.bars[j].rgb);
    }
}

TEST(ChartDataTest, FirstMailYearsLeaveOutDatesNeverSet) {
    COleDateTime invalid;
    invalid.SetDateTime(2003, 13, 1, 0, 0, 0);
    const std::vector<CPenPal> pals = {
        Pal("？", "？", "", COleDateTime(2001, 3, 1)), Pal("？", "？", "", COleDateTime(2003, 12, 31, 23, 0, 0)),
        Pal("？", "？", "", COleDateTime(2000, 1, 1)),  // the record's default: never set
        Pal("？", "？", "", COleDateTime(2000, 1, 1, 9, 0, 0)), Pal("？", "？", "", invalid)};
    EXPECT_EQ(Bars(BuildChart(pals, ChartKind::FirstYear)),
              (Bars_{{"2000", 1}, {"2001", 1}, {"2002", 0}, {"2003", 1}}));
}

TEST(ChartDataTest, KindsByTheirCommandLineNames) {
    for (ChartKind kind : kChartKinds) EXPECT_EQ(ChartKindByName(ChartKindName(kind)), kind);
    for (ChartKind kind : kMailChartKinds) EXPECT_EQ(ChartKindByName(ChartKindName(kind)), kind);
    EXPECT_EQ(ChartKindByName("reply-times"), ChartKind::ReplyTimes);
    EXPECT_FALSE(ChartKindByName("month"));
    EXPECT_FALSE(ChartKindByName(""));
}

}  // namespace
