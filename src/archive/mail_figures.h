// The correspondence over time, as the analysis charts show it: mails per month, received
// and sent, over the last two years, and how long the user took to answer. Read from the
// archive file without ever writing it, then counted by pure rules over a given today.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/chart_data.h"
#include "archive/mail_record.h"
#include "archive/reply_queue.h"

// Two years of months, the current one last.
inline constexpr int kChartMonthCount = 24;
// How long an answer took, in calendar days: the same day, 1-2 days, 3-7 days, 1-2 weeks,
// 2-4 weeks, longer. Each band's last day; the last band has none.
inline constexpr int kReplyBandLastDays[] = {0, 2, 7, 14, 28};
inline constexpr std::size_t kReplyBandCount = std::size(kReplyBandLastDays) + 1;

// One mail as the figures need it.
struct MailMoment {
    std::int64_t pal = 0;  // any number that tells the pals apart
    MailDirection direction = MailDirection::Received;
    std::string date;  // "YYYY-MM-DDTHH:MM:SS", local time
};

struct MonthMails {
    int year = 0;
    int month = 0;
    int received = 0;
    int sent = 0;
    bool operator==(const MonthMails&) const = default;
};

struct MailFigures {
    std::vector<MonthMails> months;  // kChartMonthCount months, oldest first
    std::array<int, kReplyBandCount> replyBands{};
};

// Counts the mails, given in any order. A sent mail answers the pal's received mails since
// the user last wrote (a sent mail at the same moment as a received one answers it); it took
// the calendar days from the oldest of them, and counts once, when it was sent in the months
// counted. Mails after today, or with a date that is none, count nowhere.
MailFigures CountMailFigures(std::vector<MailMoment> moments, CalendarDay today);

struct MailFiguresRead {
    enum class Status { Read, Missing, Failed } status = Status::Failed;
    MailFigures figures;
    std::string error;  // for Failed, from SQLite or the file system
};

// Opens the archive file read-only (a missing file is not made) and counts its mails.
MailFiguresRead ReadMailFigures(const std::filesystem::path& archive, CalendarDay today);

// The chart of `kind` (ChartKind::Months or ChartKind::ReplyTimes) of the figures.
ChartData MailChart(const MailFigures& figures, ChartKind kind);
