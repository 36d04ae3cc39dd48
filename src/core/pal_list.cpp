#include "core/pal_list.h"

#include <algorithm>
#include <map>

#include "core/cp932.h"
#include "core/pal_card.h"
#include "core/pal_history.h"
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

namespace {

// Katakana folded to hiragana, so that readings sort in the order of the kana table.
std::string HiraganaKey(std::string text) {
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
        const unsigned code = ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
        if (b(0) != 0xE3 || code < 0x30A1 || code > 0x30F6) continue;
        const unsigned folded = code - 0x60;
        text[i + 1] = static_cast<char>(0x80 | ((folded >> 6) & 0x3F));
        text[i + 2] = static_cast<char>(0x80 | (folded & 0x3F));
        i += 2;
    }
    return text;
}

// The name columns sort by reading where the pals' records hold one: a pal with a reading
// by it, one without by the column's text.
bool SortByReading(CYubinoApp& app, int column, bool ascending) {
    auto* cards = dynamic_cast<CPalCardStore*>(app.History());
    if (!cards || (column != 0 && column != 1)) return false;
    std::map<std::string, std::string> keys;
    bool anyReading = false;
    for (const CPenPal& pal : app.Pals()) {
        const std::optional<PalCard> card = cards->ReadCard(pal.m_strMailAddress);
        anyReading = anyReading || (card && card->HasReading());
        keys[pal.m_strMailAddress] =
            card && card->HasReading() ? HiraganaKey(card->Reading()) : cp932::ToUtf8(PalListCellText(pal, column));
    }
    if (!anyReading) return false;
    std::vector<CPenPal> rows = app.Pals();
    std::stable_sort(rows.begin(), rows.end(), [&](const CPenPal& a, const CPenPal& b) {
        const std::string &x = keys[a.m_strMailAddress], &y = keys[b.m_strMailAddress];
        return ascending ? x < y : y < x;
    });
    app.ReplaceRows(0, rows.size(), rows);
    return true;
}

}  // namespace

void CPalListSorter::SortByColumn(CYubinoApp& app, int column) {
    if (column < 0 || column >= kPalListColumnCount) return;
    CTableChange change(app, StepKind::Sort, Cp932Text(kPalListColumns[column].title));
    if (!SortByReading(app, column, m_bAscending)) app.SortPals(kPalListColumns[column].sortKey, m_bAscending);
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
