#include "archive/reply_queue.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>

CalendarDay CalendarDay::FromDate(int year, int month, int day) {
    // Days from civil (proleptic Gregorian), shifted so that March starts the year.
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return CalendarDay{era * 146097 + dayOfEra - 719468};
}

std::optional<CalendarDay> CalendarDay::Parse(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {};
    const std::string_view fields[3] = {text.substr(0, 4), text.substr(5, 2), text.substr(8, 2)};
    for (int i = 0; i < 3; ++i) {
        const auto [end, ec] = std::from_chars(fields[i].data(), fields[i].data() + fields[i].size(), parts[i]);
        if (ec != std::errc() || end != fields[i].data() + fields[i].size()) return std::nullopt;
    }
    if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31) return std::nullopt;
    return FromDate(parts[0], parts[1], parts[2]);
}

CalendarDay CalendarDay::Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string CalendarDay::Format() const {
    // Civil from days, the inverse of FromDate.
    const long long z = number + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char out[64];
    std::snprintf(out, sizeof out, "%04lld-%02lld-%02lld", year, month, day);
    return out;
}

namespace {

void AddEntry(std::vector<QueueEntry>& list, const std::string& pal, const std::string& date, CalendarDay today) {
    const auto day = CalendarDay::Parse(date);
    if (!day) return;
    list.push_back({pal, day->Format(), today.number - day->number});
}

void SortByDays(std::vector<QueueEntry>& list) {
    std::sort(list.begin(), list.end(), [](const QueueEntry& a, const QueueEntry& b) {
        return a.days != b.days ? a.days > b.days : a.pal < b.pal;
    });
}

}  // namespace

ReplyQueue BuildReplyQueue(const std::vector<PalMailDates>& pals, CalendarDay today) {
    ReplyQueue queue;
    for (const PalMailDates& pal : pals) {
        // The dates share one fixed form, so text order is time order.
        if (!pal.newestReceived.empty() && pal.newestReceived > pal.newestSent)
            AddEntry(queue.waiting, pal.pal, pal.newestReceived, today);
        const std::string& newest = std::max(pal.newestReceived, pal.newestSent);
        if (newest.empty()) continue;
        const auto day = CalendarDay::Parse(newest);
        if (day && today.number - day->number > pal.quietDays) AddEntry(queue.quiet, pal.pal, newest, today);
    }
    SortByDays(queue.waiting);
    SortByDays(queue.quiet);
    return queue;
}
