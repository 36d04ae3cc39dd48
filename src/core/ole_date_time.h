// A date as the pal data file stores it: an OLE Automation DATE (days since 1899-12-30,
// the fraction being the time of day) together with a validity status.
#pragma once

#include <cstdint>
#include <string>

class COleDateTime {
public:
    enum DateTimeStatus : std::int32_t { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    COleDateTime(double date, DateTimeStatus status) : m_dt(date), m_status(status) {}
    COleDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        SetDateTime(year, month, day, hour, minute, second);
    }

    // Sets the date when the numbers form a valid Gregorian date and time (year 0..9999);
    // otherwise marks the date invalid and keeps its value. Returns 1 when valid.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;

    DateTimeStatus GetStatus() const { return m_status; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;

    // strftime-style formatting of %Y %m %d %H %M %S and %%; a null date gives "", an
    // invalid one "Invalid DateTime".
    std::string Format(const char* pattern) const;

    // The current local date and time, to the second.
    static COleDateTime GetCurrentTime();

    bool operator==(const COleDateTime&) const = default;

private:
    struct Parts {
        int year, month, day, hour, minute, second;
    };
    Parts Split() const;
    bool IsRepresentable() const;
};
