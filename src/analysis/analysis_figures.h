// The figures of the pal analysis: the value of an age text, the days of correspondence,
// and the totals and averages over the whole table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/pen_pal.h"

// The number an age text stands for: its full-width characters taken as their half-width
// forms (half-width characters as they are), read like atoi (blanks, a sign, then leading
// digits; none gives 0). Only the first ten bytes count, the longest age a pal holds.
long long AgeValue(std::string_view age);

// The whole days between the first and the last mail received: each date's serial cut
// toward zero, last minus first. Negative when the last lies before the first.
std::int64_t CorrespondenceDays(const CPenPal& pal);

struct PalTotals {
    int count = 0;
    int women = 0;
    int men = 0;
    int sexNotSet = 0;        // neither "男" nor "女"
    int mapNotSet = 0;        // empty map name
    int nameNotSet = 0;       // empty name
    int ageNotSet = 0;        // age "？"
    int mapsWithPals = 0;     // of the nine maps, those that at least one pal belongs to
    double averageAge = 0.0;  // over the other ages; 0 when there are none
};

// The counts in one pass; each pal counts independently in every test.
PalTotals CountPals(const std::vector<CPenPal>& pals);

// The average as the totals table shows it: "%.01f 才", or "-" when it is 0. Code page 932.
std::string FormatAverageAge(double average);
