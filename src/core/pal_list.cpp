#include "core/pal_list.h"

#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"

const PalListColumn kPalListColumns[kPalListColumnCount] = {
    {texts::kListColumnHandleName, 100, kSortHandleName},
    {texts::kListColumnName, 100, kSortName},
    {texts::kListColumnSex, 40, kSortSex},
    {texts::kListColumnAge, 40, kSortAge},
    {texts::kListColumnMailAddress, 150, kSortMailAddress},
    {texts::kListColumnMap, 50, kSortMapName},
};

std::vector<CPenPal> ListedPals(const CYubinoApp& app) {
    std::vector<CPenPal> rows;
    rows.reserve(app.Pals().size());
    for (const CPenPal& pal : app.Pals()) {
        if (app.m_bSearchActive && !app.m_searchMatches.contains(pal.m_strMailAddress)) continue;
        if (app.m_bListAllPals || pal.m_strMapName == app.m_strCurrentMap) rows.push_back(pal);
    }
    return rows;
}

const std::string& PalListCellText(const CPenPal& pal, int column) {
    switch (column) {
        case 0:
            return pal.m_strHandleName;
        case 1:
            return pal.m_strName;
        case 2:
            return pal.m_strSex;
        case 3:
            return pal.m_strAge;
        case 4:
            return pal.m_strMailAddress;
        default:
            return pal.m_strMapName;
    }
}

void CPalListSorter::SortByColumn(CYubinoApp& app, int column) {
    if (column < 0 || column >= kPalListColumnCount) return;
    CTableChange change(app, StepKind::Sort, Cp932Text(kPalListColumns[column].title));
    app.SortPals(kPalListColumns[column].sortKey, m_bAscending);
    m_bAscending = !m_bAscending;
}

PalCommandStates PalCommandStatesFor(int selectedRows, int palCount) {
    return {
        .addPal = palCount<kMaxPals, .deletePals = selectedRows> 0,
        .editOne = selectedRows == 1,
        .editSeveral = selectedRows >= 2,
        .sendMail = selectedRows > 0,
    };
}
