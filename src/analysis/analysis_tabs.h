// The four views of the analysis dialog, described without any window code: each tab's
// title, columns and rows of code page 932 texts, filled from the pal table.
#pragma once

#include <string>
#include <vector>

#include "analysis/text_rows.h"

class CYubinoApp;

struct AnalysisTab {
    std::string title;  // code page 932
    std::vector<TextColumn> columns;
    std::vector<TextRow> rows;  // one text per column
};

enum AnalysisTabIndex { kTabBasicData = 0, kTabAllData = 1, kTabReceivedDates = 2, kTabTotals = 3 };
inline constexpr int kAnalysisTabCount = 4;

// The tab titles, in tab order.
std::vector<std::string> AnalysisTabTitles();

// One tab as it is filled: the per-pal tabs have one row per pal in table order; the
// totals tab always nine rows. `tab` outside 0..3 gives an empty tab.
AnalysisTab BuildAnalysisTab(const CYubinoApp& app, int tab);
