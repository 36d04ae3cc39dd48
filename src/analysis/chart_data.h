// What the charts of the analysis dialog show, counted without any window code: the pals
// by sex, by age in five-year bands, by map and by the year of their first mail. The
// charts of the mail archive (mails per month, reply times) are counted in
// archive/mail_figures and drawn from the same ChartData.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pen_pal.h"

enum class ChartKind { Sex, Age, Maps, FirstYear, Months, ReplyTimes };
// The charts of the pal table, and those of the mail archive.
inline constexpr ChartKind kChartKinds[] = {ChartKind::Sex, ChartKind::Age, ChartKind::Maps, ChartKind::FirstYear};
inline constexpr ChartKind kMailChartKinds[] = {ChartKind::Months, ChartKind::ReplyTimes};

struct ChartBar {
    std::string label;  // code page 932
    int count = 0;
    unsigned rgb = 0;  // 0xRRGGBB; 0 lets the chart choose
    bool operator==(const ChartBar&) const = default;
};

// One line of a line chart: a count for each of the chart's categories.
struct ChartLine {
    std::string label;  // code page 932
    unsigned rgb = 0;
    std::vector<int> counts;
};

struct ChartData {
    ChartKind kind = ChartKind::Sex;
    std::string title{};  // code page 932
    bool pie = false;     // a pie rather than bars
    std::vector<ChartBar> bars{};
    // A line chart has lines instead of bars, over these x-axis labels.
    std::vector<std::string> categories{};
    std::vector<ChartLine> lines{};
};

// One of the pal table's charts (kChartKinds).
ChartData BuildChart(const std::vector<CPenPal>& pals, ChartKind kind);

// The kind by its command-line name: sex, age, maps, first-year, months, reply-times.
std::optional<ChartKind> ChartKindByName(std::string_view name);
// The name of a kind, for file names.
std::string_view ChartKindName(ChartKind kind);

enum class ChartFileFormat { Png, Jpeg, Svg };
// The format a chart is saved in, by the file name's extension (.png, .jpg or .jpeg,
// .svg, any letter case); nothing for any other.
std::optional<ChartFileFormat> ChartFileFormatOf(std::string_view fileName);
