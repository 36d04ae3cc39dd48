#include "analysis/analysis_figures.h"

#include <bitset>
#include <cmath>
#include <cstdio>

#include "core/cp932.h"
#include "core/maps.h"
#include "core/texts.h"

namespace {

// The longest age text a pal holds: five double-byte characters.
constexpr std::size_t kAgeBytes = 10;

// Serials beyond this (a damaged file) count as day 0, so that the difference of two
// never overflows.
constexpr double kLargestSerial = 1e15;

std::int64_t DaySerial(const COleDateTime& date) {
    if (!std::isfinite(date.m_dt) || std::fabs(date.m_dt) > kLargestSerial) return 0;
    return static_cast<std::int64_t>(date.m_dt);
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi's reading: blanks, an optional sign, leading digits.
long long ReadLeadingNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) value = value * 10 + (text[pos] - '0');
    return negative ? -value : value;
}

}  // namespace

long long AgeValue(std::string_view age) {
    // Each full-width character with a half-width form gives that form, other double-byte
    // characters give nothing, and half-width characters count as they are, so that an
    // age typed in half-width digits is not taken as 0.
    std::string_view head = age.substr(0, kAgeBytes);
    std::string narrow;
    for (std::size_t pos = 0; pos < head.size();) {
        std::size_t len = cp932::CharLength(head, pos);
        std::string half = cp932::ToHalfWidth(head.substr(pos, len));
        if (half.size() == 1) narrow += half;
        pos += len;
    }
    return ReadLeadingNumber(narrow);
}

std::int64_t CorrespondenceDays(const CPenPal& pal) {
    return DaySerial(pal.m_dtLastMail) - DaySerial(pal.m_dtFirstMail);
}

PalTotals CountPals(const std::vector<CPenPal>& pals) {
    const std::string male = Cp932Text(texts::kSexMale);
    const std::string female = Cp932Text(texts::kSexFemale);
    PalTotals totals;
    double ageSum = 0.0;
    int ageSamples = 0;
    std::bitset<kMapCount> maps;
    for (const CPenPal& pal : pals) {
        ++totals.count;
        if (pal.m_strSex == male)
            ++totals.men;
        else if (pal.m_strSex == female)
            ++totals.women;
        else
            ++totals.sexNotSet;
        if (pal.m_strMapName.empty()) ++totals.mapNotSet;
        if (const int map = FindMapIndex(pal.m_strMapName); map >= 0) maps.set(static_cast<std::size_t>(map));
        if (pal.m_strName.empty()) ++totals.nameNotSet;
        if (pal.m_strAge == kNotGiven) {
            ++totals.ageNotSet;
        } else {
            ageSum += static_cast<double>(AgeValue(pal.m_strAge));
            ++ageSamples;
        }
    }
    if (ageSamples > 0) totals.averageAge = ageSum / ageSamples;
    totals.mapsWithPals = static_cast<int>(maps.count());
    return totals;
}

std::string FormatAverageAge(double average) {
    if (average == 0.0) return Cp932Text(texts::kNoAverage);
    char number[64];
    std::snprintf(number, sizeof number, "%.1f", average);
    std::string text = Cp932Text(texts::kFormatAverageAge);
    text.replace(cp932::Find(text, "%.01f"), 5, number);
    return text;
}
