#include <gtest/gtest.h>

#include "analysis/text_rows.h"
#include "support/fake_user_interface.h"

namespace {

std::vector<TextRow> Rows(std::initializer_list<std::vector<const char*>> utf8) {
    std::vector<TextRow> rows;
    for (const auto& r : utf8) {
        TextRow row;
        for (const char* cell : r) row.push_back(Sjis(cell));
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> Column(const std::vector<TextRow>& rows, std::size_t column) {
    std::vector<std::string> out;
    for (const TextRow& row : rows) out.push_back(Utf8(row.at(column)));
    return out;
}

TEST(CompareRowTexts, GivesMinusDPlusDOrZero) {
    EXPECT_EQ(CompareRowTexts("a", "b", 1), -1);
    EXPECT_EQ(CompareRowTexts("a", "b", -1), 1);
    EXPECT_EQ(CompareRowTexts("b", "a", 1), 1);
    EXPECT_EQ(CompareRowTexts("b", "a", -1), -1);
    EXPECT_EQ(CompareRowTexts("a", "a", -1), 0);
}

TEST(SortTextRows, SortsAsTextAndFlipsAfterEachSort) {
    CSortDirection direction;
    std::vector<TextRow> rows = Rows({{"9", "２"}, {"10", "１０"}, {"-3", "１"}, {"0", "？"}});
    SortTextRows(rows, 0, direction);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"-3", "0", "10", "9"}));
    EXPECT_EQ(direction.Direction(), -1);
    SortTextRows(rows, 1, direction);  // another column continues with the same flag
    EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"２", "１０", "１", "？"}));
    EXPECT_EQ(direction.Direction(), 1);
}

TEST(SortTextRows, DatesSortChronologicallyAndDoubleByteByCode) {
    CSortDirection direction;
    std::vector<TextRow> rows = Rows({{"2002/04/01"}, {"1999/12/31"}, {"2002/03/31"}});
    SortTextRows(rows, 0, direction);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"1999/12/31", "2002/03/31", "2002/04/01"}));
    rows = Rows({{"ｱ"}, {"あ"}, {"A"}});
    SortTextRows(rows, 0, direction);  // descending now
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"あ", "ｱ", "A"}));
}

TEST(SortTextRows, EqualTextsKeepTheirOrderAndShortRowsCountAsEmpty) {
    CSortDirection direction;
    std::vector<TextRow> rows = Rows({{"b", "1"}, {"a", "x"}, {"c", "x"}, {"d"}});
    EXPECT_EQ(SortTextRows(rows, 1, direction), (std::vector<std::size_t>{3, 0, 1, 2}));
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"d", "b", "a", "c"}));
}

TEST(MoveSelectedRows, PutsTheRowsAtTheTopInReverseOrder) {
    struct Case {
        const char* name;
        std::vector<int> selected;
        std::vector<std::string> from, to;
    } cases[] = {
        {"RowsOneAndThree", {1, 3}, {"r0", "r2", "r4"}, {"r3", "r1", "t0"}},
        {"SelectionOrderDoesNotMatter", {3, 1}, {"r0", "r2", "r4"}, {"r3", "r1", "t0"}},
        {"NothingSelected", {}, {"r0", "r1", "r2", "r3", "r4"}, {"t0"}},
        {"All", {0, 1, 2, 3, 4}, {}, {"r4", "r3", "r2", "r1", "r0", "t0"}},
        {"StrayIndicesIgnored", {-1, 2, 2, 9}, {"r0", "r1", "r3", "r4"}, {"r2", "t0"}},
    };
    for (const Case& c : cases) {
        std::vector<TextRow> from = Rows({{"r0"}, {"r1"}, {"r2"}, {"r3"}, {"r4"}});
        std::vector<TextRow> to = Rows({{"t0"}});
        MoveSelectedRows(from, c.selected, to);
        EXPECT_EQ(Column(from, 0), c.from) << c.name;
        EXPECT_EQ(Column(to, 0), c.to) << c.name;
    }
}

}  // namespace
