#include "core/ole_date_time.h"

#include <cmath>
#include <ctime>

namespace {

constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr long long kOleEpochDays = -25569;

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0) out += '-';
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

}  // namespace

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    bool ok = year >= 0 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
              hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
    if (!ok) {
        m_status = invalid;
        return 0;
    }
    double days = static_cast<double>(DaysFromCivil(year, month, day) - kOleEpochDays);
    double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Before 1899-12-30 the fraction still counts forward from midnight: -1.25 is 1899-12-29 06:00.
    m_dt = days >= 0 ? days + time : days - time;
    m_status = valid;
    return 1;
}

COleDateTime::Parts COleDateTime::Split() const {
    if (!IsRepresentable()) return Parts{};
    double whole = std::trunc(m_dt);
    double fraction = std::fabs(m_dt - whole);
    long long seconds = std::llround(fraction * 86400.0);
    long long days = static_cast<long long>(whole);
    if (seconds >= 86400) {  // rounding reached the next midnight
        seconds -= 86400;
        days += m_dt >= 0 ? 1 : -1;
    }
    Parts p{};
    CivilFromDays(days + kOleEpochDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

// DATE values far beyond year 9999 (or NaN, from a damaged file) are no calendar dates.
bool COleDateTime::IsRepresentable() const { return std::isfinite(m_dt) && std::fabs(m_dt) < 3e6; }

int COleDateTime::GetYear() const { return Split().year; }
int COleDateTime::GetMonth() const { return Split().month; }
int COleDateTime::GetDay() const { return Split().day; }
int COleDateTime::GetHour() const { return Split().hour; }
int COleDateTime::GetMinute() const { return Split().minute; }
int COleDateTime::GetSecond() const { return Split().second; }

std::string COleDateTime::Format(const char* pattern) const {
    if (m_status == null) return {};
    if (m_status == invalid) return "Invalid DateTime";
    if (!IsRepresentable()) return "Invalid DateTime";
    const Parts p = Split();
    std::string out;
    for (const char* c = pattern; *c; ++c) {
        if (*c != '%' || c[1] == '\0') {
            out += *c;
            continue;
        }
        switch (*++c) {
            case 'Y': AppendNumber(out, p.year, 4); break;
            case 'm': AppendNumber(out, p.month, 2); break;
            case 'd': AppendNumber(out, p.day, 2); break;
            case 'H': AppendNumber(out, p.hour, 2); break;
            case 'M': AppendNumber(out, p.minute, 2); break;
            case 'S': AppendNumber(out, p.second, 2); break;
            default: out += *c; break;
        }
    }
    return out;
}

COleDateTime COleDateTime::GetCurrentTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return COleDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec);
}
