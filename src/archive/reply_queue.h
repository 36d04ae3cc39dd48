// The reply queue: whom the user owes a letter ("返事待ち") and who has gone quiet
// ("ご無沙汰"). Pure rules over each pal's newest mail dates and a given today.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kDefaultQuietDays = 60;
// The intervals the settings accept.
inline constexpr int kMinQuietDays = 1;
inline constexpr int kMaxQuietDays = 3650;

// A calendar day as a day number (days since 1970-01-01), so that differences are days.
struct CalendarDay {
    long long number = 0;
    static CalendarDay FromDate(int year, int month, int day);
    // Reads the leading "YYYY-MM-DD" of a date or date-time; nothing when it is malformed.
    static std::optional<CalendarDay> Parse(std::string_view text);
    static CalendarDay Today();  // local time
    std::string Format() const;  // "YYYY-MM-DD"
};

struct PalMailDates {
    std::string pal;
    // Newest mail of each direction, "YYYY-MM-DDTHH:MM:SS"; empty when there is none.
    std::string newestReceived;
    std::string newestSent;
    int quietDays = kDefaultQuietDays;
};

struct QueueEntry {
    std::string pal;
    std::string date;  // "YYYY-MM-DD": the unanswered mail, or the last mail either way
    long long days = 0;
    std::string snoozedUntil{};  // "YYYY-MM-DD": put off ("あとで") until that day; empty when not
};

struct ReplyQueue {
    std::vector<QueueEntry> waiting;
    std::vector<QueueEntry> quiet;
};

// A pal is waiting when its newest mail is a received one (a sent mail at the same moment
// counts as the answer); quiet when its newest mail either way is more than its quiet days
// before today. A pal without any mail is in neither. Each list: most days first, then by
// address.
ReplyQueue BuildReplyQueue(const std::vector<PalMailDates>& pals, CalendarDay today);
