// What the charts of the analysis dialog show, counted without any window code: the pals
// by sex, by age in five-year bands, by map and by the year of their first mail.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pen_pal.h"

enum class ChartKind { Sex, Age, Maps, FirstYear };
inline constexpr ChartKind kChartKinds[] = {ChartKind::Sex, ChartKind::Age, ChartKind::Maps, ChartKind::FirstYear};

struct ChartBar {
    std::string label;  // code page 932
    int count = 0;
    unsigned rgb = 0;  // 0xRRGGBB; 0 lets the chart choose
    bool operator==(const ChartBar&) const = default;
};

struct ChartData {
    ChartKind kind = ChartKind::Sex;
    std::string title;  // code page 932
    bool pie = false;   // a pie rather than bars
    std::vector<ChartBar> bars;
};

ChartData BuildChart(const std::vector<CPenPal>& pals, ChartKind kind);

// The kind by its command-line name: sex, age, maps, first-year.
std::optional<ChartKind> ChartKindByName(std::string_view name);
// The name of a kind, for file names.
std::string_view ChartKindName(ChartKind kind);
