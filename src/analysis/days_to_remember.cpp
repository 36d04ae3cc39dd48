#include "analysis/days_to_remember.h"

#include <algorithm>
#include <cmath>

#include "core/cp932.h"
#include "core/texts.h"

namespace {

bool IsSet(const COleDateTime& date) {
    return date.GetStatus() == COleDateTime::valid && !(date == COleDateTime(2000, 1, 1));
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The date's month and day in `year`; 29 February is the 28th in other years.
COleDateTime InYear(const COleDateTime& date, int year) {
    int day = date.GetDay();
    if (date.GetMonth() == 2 && day == 29 && !IsLeapYear(year)) day = 28;
    return COleDateTime(year, date.GetMonth(), day);
}

int DaysBetween(const COleDateTime& from, const COleDateTime& to) {
    return static_cast<int>(std::floor(to.m_dt) - std::floor(from.m_dt));
}

// The next time the date's month and day come, from `today` on, if it is soon enough.
void AddIfSoon(std::vector<DayToRemember>& days, const CPenPal& pal, DayToRemember::Kind kind, const COleDateTime& date,
               const COleDateTime& today) {
    if (!IsSet(date)) return;
    for (int year = today.GetYear(); year <= today.GetYear() + 1; ++year) {
        const COleDateTime day = InYear(date, year);
        const int ahead = DaysBetween(today, day);
        if (ahead < 0) continue;
        const int years = year - date.GetYear();
        // A first mail has its first anniversary a year later; today's first mail is none.
        if (ahead < kDaysToRememberAhead && years > 0)
            days.push_back({kind, pal.m_strMailAddress, pal.m_strHandleName, day, ahead, years});
        return;
    }
}

std::string WhatItIs(const DayToRemember& day) {
    if (day.kind == DayToRemember::Kind::Birthday) return FormatText(texts::kBirthdayFormat, day.nYears);
    return FormatText(texts::kFirstMailAnniversaryFormat, day.nYears);
}

std::string WhenText(const DayToRemember& day) {
    const std::string date = std::to_string(day.day.GetMonth()) + "/" + std::to_string(day.day.GetDay());
    if (day.nDaysAhead == 0) return date + Cp932Text(texts::kToday);
    return date + FormatText(texts::kDaysAheadFormat, day.nDaysAhead);
}

}  // namespace

std::vector<DayToRemember> DaysToRemember(const std::vector<CPenPal>& pals, const COleDateTime& today) {
    const COleDateTime midnight(today.GetYear(), today.GetMonth(), today.GetDay());
    std::vector<DayToRemember> days;
    if (midnight.GetStatus() != COleDateTime::valid) return days;
    for (const CPenPal& pal : pals) {
        AddIfSoon(days, pal, DayToRemember::Kind::Birthday, pal.m_dtBirthday, midnight);
        AddIfSoon(days, pal, DayToRemember::Kind::FirstMailAnniversary, pal.m_dtFirstMail, midnight);
    }
    std::stable_sort(days.begin(), days.end(), [](const DayToRemember& a, const DayToRemember& b) {
        if (a.nDaysAhead != b.nDaysAhead) return a.nDaysAhead < b.nDaysAhead;
        return cp932::Compare(a.strHandleName, b.strHandleName) < 0;
    });
    return days;
}

std::string DayToRememberText(const DayToRemember& day) {
    return WhenText(day) + " " + day.strHandleName + Cp932Text(texts::kHonorific) + WhatItIs(day);
}

std::vector<TextColumn> DaysToRememberColumns() {
    return {{Cp932Text(texts::kRememberColumnWhen), 120},
            {Cp932Text(texts::kListColumnHandleName), 100},
            {Cp932Text(texts::kRememberColumnWhat), 160}};
}

std::vector<TextRow> DaysToRememberRows(const std::vector<DayToRemember>& days) {
    std::vector<TextRow> rows;
    for (const DayToRemember& day : days) rows.push_back({WhenText(day), day.strHandleName, WhatItIs(day)});
    return rows;
}
