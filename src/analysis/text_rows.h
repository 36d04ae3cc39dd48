// Rows of texts as the analysis and import dialogs list them, and the two things done to
// them: sorting by a clicked column and moving the selected rows to the other list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One row: its texts column by column, code page 932.
using TextRow = std::vector<std::string>;

// A column of such a list.
struct TextColumn {
    std::string title;  // code page 932
    int width = 0;      // pixels
};

// The sort direction of one list for the whole run: ascending at first, flipped by every
// column click.
class CSortDirection {
public:
    // +1 for ascending, -1 for descending.
    int Direction() const { return m_bAscending ? 1 : -1; }
    void Flip() { m_bAscending = !m_bAscending; }

private:
    bool m_bAscending = true;
};

// The column-click comparison: -d when `a` sorts before `b` in character order, +d when
// after, 0 when equal (d = +1 ascending, -1 descending).
int CompareRowTexts(std::string_view a, std::string_view b, int direction);

// Sorts the rows by the texts of `column` (a row too short for it counts as empty) in the
// current direction, then flips the direction. Rows with equal texts keep their order.
// Returns where each row went: entry i is the former index of the row now at i.
std::vector<std::size_t> SortTextRows(std::vector<TextRow>& rows, int column, CSortDirection& direction);

// Moves the rows at `selected` (indices into `from`, in any order; duplicates and
// indices out of range are ignored) to the top of `to`. Taken from the top of `from`
// and each put at position 0, several rows arrive in reverse order.
void MoveSelectedRows(std::vector<TextRow>& from, const std::vector<int>& selected, std::vector<TextRow>& to);
