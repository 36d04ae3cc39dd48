#include "analysis/text_rows.h"

#include <algorithm>
#include <numeric>

#include "core/cp932.h"

namespace {

std::string_view TextAt(const TextRow& row, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < row.size() ? std::string_view(row[column])
                                                                        : std::string_view();
}

}  // namespace

int CompareRowTexts(std::string_view a, std::string_view b, int direction) {
    int order = cp932::Compare(a, b);
    if (order < 0) return -direction;
    if (order > 0) return direction;
    return 0;
}

std::vector<std::size_t> SortTextRows(std::vector<TextRow>& rows, int column, CSortDirection& direction) {
    const int d = direction.Direction();
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return CompareRowTexts(TextAt(rows[a], column), TextAt(rows[b], column), d) < 0;
    });
    std::vector<TextRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t index : order) sorted.push_back(std::move(rows[index]));
    rows = std::move(sorted);
    direction.Flip();
    return order;
}

void MoveSelectedRows(std::vector<TextRow>& from, const std::vector<int>& selected, std::vector<TextRow>& to) {
    std::vector<bool> isSelected(from.size(), false);
    for (int index : selected)
        if (index >= 0 && static_cast<std::size_t>(index) < from.size()) isSelected[index] = true;

    // One pass instead of a delete and an insert per row, so that moving thousands of
    // rows stays quick; the result is the same.
    std::vector<TextRow> kept, moved;
    for (std::size_t i = 0; i < from.size(); ++i) (isSelected[i] ? moved : kept).push_back(std::move(from[i]));
    if (moved.empty()) {
        from = std::move(kept);
        return;
    }
    std::reverse(moved.begin(), moved.end());
    moved.insert(moved.end(), std::make_move_iterator(to.begin()), std::make_move_iterator(to.end()));
    from = std::move(kept);
    to = std::move(moved);
}
