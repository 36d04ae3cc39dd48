#include "analysis/chart_labels.h"

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "support/fake_user_interface.h"

namespace {

// A font of 10 pixels for a double-byte character and 6 for any other, 12 pixels a line.
double FakeWidth(std::string_view label) {
    double width = 0;
    for (std::size_t pos = 0; pos < label.size();) {
        const std::size_t length = cp932::CharLength(label, pos);
        width += length == 2 ? 10 : 6;
        pos += length;
    }
    return width;
}

std::vector<std::string> Years(int first, int count) {
    std::vector<std::string> years;
    for (int year = first; year < first + count; ++year) years.push_back(std::to_string(year));
    return years;
}

std::vector<std::string> Sjis(std::initializer_list<const char*> labels) {
    std::vector<std::string> converted;
    for (const char* label : labels) converted.push_back(::Sjis(label));
    return converted;
}

TEST(ChartLabelsTest, TheFirstLayoutThatFitsIsChosen) {
    const std::vector<std::string> thirtyYears = Years(1996, 30);
    std::vector<std::string> everySecond(30);
    for (std::size_t i = 0; i < 28; i += 2) everySecond[i] = thirtyYears[i];
    everySecond[29] = thirtyYears[29];  // the last always; 2024 stands aside for it
    const struct {
        const char* name;
        std::vector<std::string> labels;
        LabelSpace space;
        AxisLabelPlan plan;
    } rows[] = {
        {"three years side by side", Years(2021, 3), {40, 60, 12, true}, {0, 1, false, Years(2021, 3)}},
        {"ten years slanted", Years(2021, 10), {26, 60, 12, true}, {-45, 1, false, Years(2021, 10)}},
        {"too close to slant: upright", Years(2021, 10), {13, 60, 12, true}, {-90, 1, false, Years(2021, 10)}},
        {"thirty years: every second, upright", thirtyYears, {7, 60, 12, true}, {-90, 2, false, everySecond}},
        {"one label is never thinned away", Years(2021, 1), {30, 60, 12, true}, {0, 1, false, Years(2021, 1)}},
        {"maps lose their prefecture suffix and slant",
         Sjis({"東京都", "神奈川県", "北海道"}),
         {30, 30, 12, false},
         {-45, 1, true, Sjis({"東京", "神奈川", "北海道"})}},
        {"a long map name is cut to five characters",
         Sjis({"とても長いマップの名前"}),
         {60, 50, 12, false},
         {0, 1, true, Sjis({"とても長い"})}},
        {"an ordered label too deep even upright is cut too",
         Sjis({"1日以内", "1週間から2週間まで"}),
         {50, 42, 12, true},
         {0, 1, true, Sjis({"1日以内", "1週間から"})}},
        {"named labels too many for one character each are thinned as well",
         Sjis({"東京都", "大阪府", "京都府", "北海道", "沖縄県", "福岡県"}),
         {8, 50, 12, false},
         {0, 2, true, Sjis({"東", "", "京", "", "", "福"})}},
        {"named labels are never shortened until two read alike",
         Sjis({"中部地方", "中国地方", "四国地方"}),
         {10, 50, 12, false},
         {-90, 2, true, Sjis({"中部", "", "四国"})}},
    };
    for (const auto& row : rows) {
        const AxisLabelPlan plan = PlanAxisLabels(row.labels, row.space, FakeWidth);
        EXPECT_EQ(plan.angle, row.plan.angle) << row.name;
        EXPECT_EQ(plan.every, row.plan.every) << row.name;
        EXPECT_EQ(plan.abbreviated, row.plan.abbreviated) << row.name;
        EXPECT_EQ(plan.labels, row.plan.labels) << row.name;
    }
}

TEST(ChartLabelsTest, AbbreviationDropsTheSuffixThenCutsWithoutEllipsis) {
    const struct {
        const char* label;
        int characters;
        const char* expected;
    } rows[] = {
        {"東京都", 6, "東京"},
        {"京都府", 6, "京都"},
        {"京都", 6, "京都"},
        {"大阪府", 1, "大"},
        {"都", 6, "都"},
        {"北海道", 6, "北海道"},
        {"ｶﾅﾀﾞのﾍﾟﾝﾌﾚﾝﾄﾞたち", 6, "ｶﾅﾀﾞのﾍ"},
        {"Pen pals abroad", 3, "Pen"},
        {"", 3, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Utf8(AbbreviateLabel(::Sjis(row.label), row.characters)), row.expected) << row.label;
}

}  // namespace
