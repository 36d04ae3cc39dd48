#include "core/ole_date_time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct DateCase {
    const char* name;
    int year, month, day;
    bool valid;
};
void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }


class SetDateTimeTest : public testing::TestWithParam<DateCase> {};

TEST_P(SetDateTimeTest, ValidatesTheCalendar) {
    const DateCase& c = GetParam();
    COleDateTime dt(36526.0, COleDateTime::valid);
    EXPECT_EQ(dt.SetDateTime(c.year, c.month, c.day, 0, 0, 0), c.valid ? 1 : 0);
    EXPECT_EQ(dt.GetStatus(), c.valid ? COleDateTime::valid : COleDateTime::invalid);
    if (!c.valid) {
        EXPECT_EQ(dt.m_dt, 36526.0) << "an invalid date keeps its value";
    }
}

INSTANTIATE_TEST_SUITE_P(Calendar, SetDateTimeTest,
                         testing::Values(DateCase{"Month13", 2000, 13, 1, false},
                                         DateCase{"Month0", 2000, 0, 1, false},
                                         DateCase{"Feb29In1900", 1900, 2, 29, false},
                                         DateCase{"Feb29In2000", 2000, 2, 29, true},
                                         DateCase{"Feb29In2001", 2001, 2, 29, false},
                                         DateCase{"Feb29In2004", 2004, 2, 29, true},
                                         DateCase{"April31", 2002, 4, 31, false},
                                         DateCase{"Year9999", 9999, 12, 31, true},
                                         DateCase{"Year10000", 10000, 1, 1, false},
                                         DateCase{"NegativeYear", -1, 1, 1, false},
                                         DateCase{"NegativeDay", 2000, 1, -1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OleDateTime, UsesTheAutomationDateSerial) {
    EXPECT_EQ(COleDateTime(2000, 1, 1).m_dt, 36526.0);
    EXPECT_EQ(COleDateTime(1899, 12, 30).m_dt, 0.0);
    EXPECT_EQ(COleDateTime(1900, 3, 1).m_dt, 61.0);
    EXPECT_DOUBLE_EQ(COleDateTime(2000, 1, 1, 18, 0, 0).m_dt, 36526.75);
    EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).m_dt, -1.25);
}

TEST(OleDateTime, SplitsAndFormats) {
    COleDateTime dt(2002, 4, 1, 13, 5, 9);
    EXPECT_EQ(dt.Format("%Y/%m/%d"), "2002/04/01");
    EXPECT_EQ(dt.Format("%H:%M:%S %%"), "13:05:09 %");
    EXPECT_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).Format("%Y/%m/%d %H"), "1899/12/29 06");
    EXPECT_EQ(COleDateTime(36526.0, COleDateTime::null).Format("%Y"), "");
    EXPECT_EQ(COleDateTime(36526.0, COleDateTime::invalid).Format("%Y"), "Invalid DateTime");
    EXPECT_EQ(COleDateTime(NAN, COleDateTime::valid).Format("%Y"), "Invalid DateTime");
    EXPECT_EQ(COleDateTime(1e300, COleDateTime::valid).GetYear(), 0);
}

TEST(OleDateTime, ComparesValueAndStatus) {
    EXPECT_EQ(COleDateTime(2000, 1, 1), COleDateTime(36526.0, COleDateTime::valid));
    EXPECT_NE(COleDateTime(36526.0, COleDateTime::invalid), COleDateTime(36526.0, COleDateTime::valid));
}

TEST(OleDateTime, CurrentTimeIsValidAndRecent) {
    COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(now.GetStatus(), COleDateTime::valid);
    EXPECT_GT(now.GetYear(), 2020);
}

}  // namespace
