// The reply queue's rules against a fixed today.
#include <gtest/gtest.h>

#include "archive/reply_queue.h"

namespace {

const CalendarDay kToday = CalendarDay::FromDate(2026, 12, 7);

struct QueueCase {
    const char* name;
    PalMailDates pal;
    bool waiting;
    long long waitingDays;  // when waiting
    bool quiet;
    long long quietDays;  // when quiet
};

class ReplyQueueRules : public testing::TestWithParam<QueueCase> {};

TEST_P(ReplyQueueRules, PutsThePalWhereItBelongs) {
    const QueueCase& c = GetParam();
    const ReplyQueue queue = BuildReplyQueue({c.pal}, kToday);
    ASSERT_EQ(queue.waiting.size(), c.waiting ? 1u : 0u);
    ASSERT_EQ(queue.quiet.size(), c.quiet ? 1u : 0u);
    if (c.waiting) {
        EXPECT_EQ(queue.waiting[0].days, c.waitingDays);
    }
    if (c.quiet) {
        EXPECT_EQ(queue.quiet[0].days, c.quietDays);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyQueueRules,
    testing::Values(
        QueueCase{"ReceivedNeverAnswered", {"a", "2026-12-01T09:00:00", "", 60}, true, 6, false, 0},
        QueueCase{"AnsweredLater", {"a", "2026-12-01T09:00:00", "2026-12-02T09:00:00", 60}, false, 0, false, 0},
        QueueCase{"AnsweredTheSameSecond", {"a", "2026-12-01T09:00:00", "2026-12-01T09:00:00", 60}, false, 0, false, 0},
        QueueCase{
            "AnsweredEarlierTheSameDay", {"a", "2026-12-01T21:00:00", "2026-12-01T08:00:00", 60}, true, 6, false, 0},
        QueueCase{"NoMailAtAll", {"a", "", "", 60}, false, 0, false, 0},
        QueueCase{"SentOnlyLongAgo", {"a", "", "2026-01-01T00:00:00", 60}, false, 0, true, 340},
        QueueCase{"ExactlyTheIntervalIsNotQuiet", {"a", "", "2026-10-08T23:59:59", 60}, false, 0, false, 0},
        QueueCase{"OneDayOverTheInterval", {"a", "", "2026-10-07T00:00:00", 60}, false, 0, true, 61},
        QueueCase{"OwnShortIntervalCounts", {"a", "", "2026-11-26T00:00:00", 10}, false, 0, true, 11},
        QueueCase{"UnansweredAndQuiet", {"a", "2025-12-07T12:00:00", "2025-11-01T00:00:00", 60}, true, 365, true, 365},
        QueueCase{
            "NewestEitherWayDecidesQuiet", {"a", "2026-01-01T00:00:00", "2026-12-06T00:00:00", 60}, false, 0, false, 0},
        QueueCase{"LeapDayCounted", {"a", "2024-02-28T00:00:00", "", 2000}, true, 1013, false, 0}),
    [](const testing::TestParamInfo<QueueCase>& info) { return info.param.name; });

TEST(ReplyQueue, ListsMostDaysFirstThenByAddress) {
    const ReplyQueue queue = BuildReplyQueue({{"c@x", "2026-12-05T00:00:00", "", 60},
                                              {"b@x", "2026-11-01T00:00:00", "", 60},
                                              {"a@x", "2026-12-05T00:00:00", "", 60},
                                              {"q@x", "", "2026-01-01T00:00:00", 60},
                                              {"p@x", "", "2025-01-01T00:00:00", 60}},
                                             kToday);
    std::vector<std::string> waiting, quiet;
    for (const QueueEntry& e : queue.waiting) waiting.push_back(e.pal + " " + e.date);
    for (const QueueEntry& e : queue.quiet) quiet.push_back(e.pal);
    EXPECT_EQ(waiting, (std::vector<std::string>{"b@x 2026-11-01", "a@x 2026-12-05", "c@x 2026-12-05"}));
    EXPECT_EQ(quiet, (std::vector<std::string>{"p@x", "q@x"}));
}

TEST(CalendarDay, ReadsAndWritesDays) {
    for (const char* day : {"1970-01-01", "2000-02-29", "2026-12-07", "1899-12-30", "9999-12-31"})
        EXPECT_EQ(CalendarDay::Parse(day)->Format(), day);
    EXPECT_EQ(CalendarDay::Parse("2026-03-01")->number - CalendarDay::Parse("2026-02-28")->number, 1);
    for (const char* bad : {"", "2026-1-01", "2026-13-01", "abcd-ef-gh", "2026/12/07"})
        EXPECT_FALSE(CalendarDay::Parse(bad).has_value()) << bad;
}

}  // namespace
