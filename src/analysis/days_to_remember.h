// Days to remember: the pals' birthdays and the anniversaries of their first mail that
// fall in the next two weeks, and the text that tells of them.
#pragma once

#include <string>
#include <vector>

#include "analysis/text_rows.h"
#include "core/ole_date_time.h"
#include "core/pen_pal.h"

inline constexpr int kDaysToRememberAhead = 14;  // today and the 13 days after it

struct DayToRemember {
    enum class Kind { Birthday, FirstMailAnniversary };
    Kind kind = Kind::Birthday;
    std::string strMailAddress;
    std::string strHandleName;  // code page 932
    COleDateTime day;           // the day it falls on
    int nDaysAhead = 0;         // 0 today, 1 tomorrow...
    int nYears = 0;             // the age turned, or the years since the first mail
};

// The days from `today` on (its time of day ignored), soonest first, then by handle name.
// Dates never set (the record's default 2000-01-01 00:00) and invalid ones are left out; a
// birthday on 29 February falls on the 28th in other years.
std::vector<DayToRemember> DaysToRemember(const std::vector<CPenPal>& pals, const COleDateTime& today);

// One line for the list and the notification, e.g. "12/24（あと3日） たろうさんの誕生日（20歳）".
// Code page 932.
std::string DayToRememberText(const DayToRemember& day);

// The analysis dialog's list of them: date, days ahead, handle name, what it is.
std::vector<TextColumn> DaysToRememberColumns();
std::vector<TextRow> DaysToRememberRows(const std::vector<DayToRemember>& days);
