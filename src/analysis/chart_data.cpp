#include "analysis/chart_data.h"

#include <algorithm>
#include <map>

#include "analysis/analysis_figures.h"
#include "core/maps.h"
#include "core/texts.h"

namespace {

constexpr int kAgeBand = 5;

// Each map's colour on the charts: the warm colours of the region maps' land, the world blue.
constexpr unsigned kMapColours[kMapCount] = {0x7FB3D5, 0x9CCC7C, 0xF4A064, 0xF6D55C, 0xEDA6C0,
                                             0xD6A878, 0x76C7B7, 0xE57373, 0x5C7FB8};
constexpr unsigned kNotSetColour = 0xB0B0B0;

ChartBar Bar(const char* utf8Label, int count, unsigned rgb = 0) { return {Cp932Text(utf8Label), count, rgb}; }

ChartData SexChart(const std::vector<CPenPal>& pals) {
    const PalTotals totals = CountPals(pals);
    return {ChartKind::Sex,
            Cp932Text(texts::kChartSex),
            true,
            {Bar(texts::kTotalWomen, totals.women, 0xE57373), Bar(texts::kTotalMen, totals.men, 0x5C7FB8),
             Bar(texts::kChartNotSet, totals.sexNotSet, kNotSetColour)}};
}

// Bands from the youngest pal's to the oldest's, empty bands between them included, so the
// bars read as an age axis.
ChartData AgeChart(const std::vector<CPenPal>& pals) {
    std::map<long long, int> bands;
    for (const CPenPal& pal : pals) {
        if (pal.m_strAge == Cp932Text("？")) continue;
        const long long age = AgeValue(pal.m_strAge);
        if (age > 0) ++bands[age / kAgeBand * kAgeBand];
    }
    ChartData chart{ChartKind::Age, Cp932Text(texts::kChartAge), false, {}};
    if (bands.empty()) return chart;
    for (long long band = bands.begin()->first; band <= bands.rbegin()->first; band += kAgeBand) {
        const std::string label = std::to_string(band) + "-" + std::to_string(band + kAgeBand - 1);
        chart.bars.push_back({label, bands.contains(band) ? bands[band] : 0, 0});
    }
    return chart;
}

ChartData MapChart(const std::vector<CPenPal>& pals) {
    ChartData chart{ChartKind::Maps, Cp932Text(texts::kChartMaps), false, {}};
    for (int map = 0; map < kMapCount; ++map) chart.bars.push_back({g_apszMapNames[map], 0, kMapColours[map]});
    chart.bars.push_back(Bar(texts::kChartNotSet, 0, kNotSetColour));
    for (const CPenPal& pal : pals) {
        const int map = FindMapIndex(pal.m_strMapName);
        ++chart.bars[static_cast<std::size_t>(map >= 0 ? map : kMapCount)].count;
    }
    return chart;
}

// The record's default date (2000-01-01 00:00) means the date was never set.
ChartData FirstYearChart(const std::vector<CPenPal>& pals) {
    const COleDateTime never(2000, 1, 1, 0, 0, 0);
    std::map<int, int> years;
    for (const CPenPal& pal : pals) {
        if (pal.m_dtFirstMail.GetStatus() != COleDateTime::valid || pal.m_dtFirstMail == never) continue;
        ++years[pal.m_dtFirstMail.GetYear()];
    }
    ChartData chart{ChartKind::FirstYear, Cp932Text(texts::kChartFirstYear), false, {}};
    if (years.empty()) return chart;
    for (int year = years.begin()->first; year <= years.rbegin()->first; ++year)
        chart.bars.push_back({std::to_string(year), years.contains(year) ? years[year] : 0, 0});
    return chart;
}

constexpr std::pair<ChartKind, std::string_view> kKindNames[] = {
    {ChartKind::Sex, "sex"},       {ChartKind::Age, "age"},
    {ChartKind::Maps, "maps"},     {ChartKind::FirstYear, "first-year"},
    {ChartKind::Months, "months"}, {ChartKind::ReplyTimes, "reply-times"}};

}  // namespace

ChartData BuildChart(const std::vector<CPenPal>& pals, ChartKind kind) {
    switch (kind) {
        case ChartKind::Sex:
            return SexChart(pals);
        case ChartKind::Age:
            return AgeChart(pals);
        case ChartKind::Maps:
            return MapChart(pals);
        case ChartKind::FirstYear:
            return FirstYearChart(pals);
        case ChartKind::Months:
        case ChartKind::ReplyTimes:
            break;  // counted from the archive, not the table
    }
    return {.kind = kind};
}

std::optional<ChartKind> ChartKindByName(std::string_view name) {
    for (const auto& [kind, text] : kKindNames) {
        if (text == name) return kind;
    }
    return std::nullopt;
}

std::string_view ChartKindName(ChartKind kind) {
    for (const auto& [k, text] : kKindNames) {
        if (k == kind) return text;
    }
    return {};
}

std::optional<ChartFileFormat> ChartFileFormatOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    std::string extension(fileName.substr(dot + 1));
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "png") return ChartFileFormat::Png;
    if (extension == "jpg" || extension == "jpeg") return ChartFileFormat::Jpeg;
    if (extension == "svg") return ChartFileFormat::Svg;
    return std::nullopt;
}
