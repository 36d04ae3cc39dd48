#include "analysis/analysis_tabs.h"

#include <initializer_list>
#include <string_view>

#include "analysis/analysis_figures.h"
#include "core/cp932.h"
#include "core/maps.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace {

constexpr const char* kDatePattern = "%Y/%m/%d";

struct ColumnSpec {
    const char* title;  // UTF-8
    int width;
    std::string (*value)(const CPenPal&);
};

std::string Date(const COleDateTime& date) { return date.Format(kDatePattern); }

const ColumnSpec kHandleName{texts::kColumnHandleName, 100, [](const CPenPal& p) { return p.m_strHandleName; }};
const ColumnSpec kName{texts::kColumnName, 100, [](const CPenPal& p) { return p.m_strName; }};
const ColumnSpec kSex{texts::kColumnSex, 40, [](const CPenPal& p) { return p.m_strSex; }};
const ColumnSpec kAge{texts::kColumnAge, 40, [](const CPenPal& p) { return p.m_strAge; }};
const ColumnSpec kMailAddress{texts::kColumnMailAddress, 130, [](const CPenPal& p) { return p.m_strMailAddress; }};
const ColumnSpec kResidence{texts::kColumnResidence, 130, [](const CPenPal& p) { return p.m_strResidence; }};
const ColumnSpec kMap{texts::kColumnMap, 100, [](const CPenPal& p) { return p.m_strMapName; }};
const ColumnSpec kJob{texts::kColumnJob, 100, [](const CPenPal& p) { return p.m_strJob; }};
const ColumnSpec kHomePage{texts::kColumnHomePage, 100, [](const CPenPal& p) { return p.m_strHomePage; }};
const ColumnSpec kBirthplace{texts::kColumnBirthplace, 100, [](const CPenPal& p) { return p.m_strBirthplace; }};
const ColumnSpec kBloodType{texts::kColumnBloodType, 60, [](const CPenPal& p) { return p.m_strBloodType; }};
const ColumnSpec kBirthday{texts::kColumnBirthday, 100, [](const CPenPal& p) { return Date(p.m_dtBirthday); }};
const ColumnSpec kFirstMail{texts::kColumnFirstMail, 120, [](const CPenPal& p) { return Date(p.m_dtFirstMail); }};
const ColumnSpec kLastMail{texts::kColumnLastMail, 120, [](const CPenPal& p) { return Date(p.m_dtLastMail); }};
const ColumnSpec kTel1{texts::kColumnTel1, 100, [](const CPenPal& p) { return p.m_strTel1; }};
const ColumnSpec kTel2{texts::kColumnTel2, 100, [](const CPenPal& p) { return p.m_strTel2; }};
const ColumnSpec kHobby{texts::kColumnHobby, 100, [](const CPenPal& p) { return p.m_strHobby; }};
const ColumnSpec kDays{texts::kColumnDays, 100, [](const CPenPal& p) { return std::to_string(CorrespondenceDays(p)); }};

const std::vector<ColumnSpec>& PerPalColumns(int tab) {
    static const std::vector<ColumnSpec> kBasic{kHandleName, kName, kSex, kAge, kMailAddress, kResidence, kMap};
    static const std::vector<ColumnSpec> kAll{
        kHandleName, kName,     kSex,       kAge,      kMailAddress, kJob,  kHomePage, kResidence, kBirthplace,
        kBloodType,  kBirthday, kFirstMail, kLastMail, kTel1,        kTel2, kHobby,    kMap};
    static const std::vector<ColumnSpec> kDates{kHandleName, kFirstMail, kLastMail, kDays};
    switch (tab) {
        case kTabBasicData:
            return kBasic;
        case kTabAllData:
            return kAll;
        default:
            return kDates;
    }
}

void FillPerPalTab(const CYubinoApp& app, int tab, AnalysisTab& out) {
    const std::vector<ColumnSpec>& specs = PerPalColumns(tab);
    for (const ColumnSpec& column : specs) out.columns.push_back({Cp932Text(column.title), column.width});
    CPenPal pal;
    for (int i = 0; i < app.GetPalCount(); ++i) {
        if (!app.GetPal(i, pal)) break;
        TextRow row;
        row.reserve(specs.size());
        for (const ColumnSpec& column : specs) row.push_back(column.value(pal));
        out.rows.push_back(std::move(row));
    }
}

// A template with its "%d" placeholders replaced in order.
std::string FormatCounts(std::string_view utf8Template, std::initializer_list<int> numbers) {
    std::string text = Cp932Text(utf8Template);
    std::size_t from = 0;
    for (int number : numbers) {
        std::size_t pos = cp932::Find(text, "%d", from);
        if (pos == std::string::npos) break;
        std::string digits = std::to_string(number);
        text.replace(pos, 2, digits);
        from = pos + digits.size();
    }
    return text;
}

void FillTotalsTab(const CYubinoApp& app, AnalysisTab& out) {
    out.columns = {{Cp932Text(texts::kColumnItem), 120}, {Cp932Text(texts::kColumnData), 100}};
    const PalTotals t = CountPals(app.Pals());
    auto persons = [](int n) { return FormatCounts(texts::kFormatPersons, {n}); };
    auto row = [](const char* item, std::string data) { return TextRow{Cp932Text(item), std::move(data)}; };
    out.rows = {
        row(texts::kTotalPals, FormatCounts(texts::kFormatPalCount, {t.count, kMaxPals})),
        row(texts::kTotalWomen, persons(t.women)),
        row(texts::kTotalMen, persons(t.men)),
        row(texts::kTotalAverageAge, FormatAverageAge(t.averageAge)),
        row(texts::kTotalSexNotSet, persons(t.sexNotSet)),
        row(texts::kTotalMapNotSet, persons(t.mapNotSet)),
        row(texts::kTotalNameNotSet, persons(t.nameNotSet)),
        row(texts::kTotalAgeNotSet, persons(t.ageNotSet)),
        row(texts::kTotalMaps, FormatCounts(texts::kFormatMapCount, {t.mapsWithPals, kMapCount})),
    };
}

}  // namespace

std::vector<std::string> AnalysisTabTitles() {
    return {Cp932Text(texts::kAnalysisTabBasic), Cp932Text(texts::kAnalysisTabAll), Cp932Text(texts::kAnalysisTabDates),
            Cp932Text(texts::kAnalysisTabTotals)};
}

AnalysisTab BuildAnalysisTab(const CYubinoApp& app, int tab) {
    AnalysisTab out;
    if (tab < 0 || tab >= kAnalysisTabCount) return out;
    out.title = AnalysisTabTitles()[static_cast<std::size_t>(tab)];
    if (tab == kTabTotals)
        FillTotalsTab(app, out);
    else
        FillPerPalTab(app, tab, out);
    return out;
}
