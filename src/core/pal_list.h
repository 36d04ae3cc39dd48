// What the pal list shows and which of its commands apply, without any window code:
// the rows with the map filter, the six columns, the sort by column and the command
// states that follow the selection and the table's size.
#pragma once

#include <string>
#include <vector>

#include "core/pen_pal.h"

class CYubinoApp;

struct PalListColumn {
    const char* title;  // UTF-8
    int width;          // pixels
    int sortKey;        // key of SortPals
};

inline constexpr int kPalListColumnCount = 6;
// The column whose text identifies a row's pal.
inline constexpr int kAddressColumn = 4;
extern const PalListColumn kPalListColumns[kPalListColumnCount];

// The pals the list shows, in table order: all of them, or those of the map shown; while
// a search is active, only those it matched.
std::vector<CPenPal> ListedPals(const CYubinoApp& app);

// The text of a pal's cell in column `column` (code page 932).
const std::string& PalListCellText(const CPenPal& pal, int column);

// Sorting by a column click: one direction for all columns, ascending first, flipped
// after every click. The table itself is reordered.
class CPalListSorter {
public:
    void SortByColumn(CYubinoApp& app, int column);
    bool NextAscending() const { return m_bAscending; }
    // For a sort remembered from an earlier run.
    void SetNextAscending(bool ascending) { m_bAscending = ascending; }

private:
    bool m_bAscending = true;
};

// Whether each command on the selected pals can run.
struct PalCommandStates {
    bool addPal;       // the table has room
    bool deletePals;   // at least one row selected
    bool editOne;      // exactly one row selected
    bool editSeveral;  // two or more rows selected (the context menu; the frame never greys it)
    bool sendMail;     // at least one row selected
};

PalCommandStates PalCommandStatesFor(int selectedRows, int palCount);
