#include "archive/mail_figures.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <tuple>

#include "archive/sqlite_db.h"
#include "core/texts.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kReceivedColour = 0x5C7FB8;
constexpr unsigned kSentColour = 0xE57373;

std::size_t ReplyBand(long long days) {
    const auto* band = std::lower_bound(std::begin(kReplyBandLastDays), std::end(kReplyBandLastDays), days);
    return static_cast<std::size_t>(band - std::begin(kReplyBandLastDays));
}

// The first days of the counted months and of the month after them.
struct MonthStarts {
    std::vector<MonthMails> months;
    std::vector<long long> starts;  // kChartMonthCount + 1 day numbers

    explicit MonthStarts(CalendarDay today) {
        int year = 0, month = 0, day = 0;
        std::sscanf(today.Format().c_str(), "%d-%d-%d", &year, &month, &day);
        const int last = year * 12 + month - 1;
        for (int m = last - kChartMonthCount + 1; m <= last + 1; ++m) {
            starts.push_back(CalendarDay::FromDate(m / 12, m % 12 + 1, 1).number);
            if (m <= last) months.push_back({m / 12, m % 12 + 1, 0, 0});
        }
    }
    // The month of a day, if it is one of those counted.
    std::optional<std::size_t> MonthOf(CalendarDay day) const {
        const auto next = std::upper_bound(starts.begin(), starts.end(), day.number);
        if (next == starts.begin() || next == starts.end()) return std::nullopt;
        return static_cast<std::size_t>(next - starts.begin() - 1);
    }
};

}  // namespace

MailFigures CountMailFigures(std::vector<MailMoment> moments, CalendarDay today) {
    // Each pal's mails in time order, received before sent at one moment.
    std::sort(moments.begin(), moments.end(), [](const MailMoment& a, const MailMoment& b) {
        return std::tie(a.pal, a.date, a.direction) < std::tie(b.pal, b.date, b.direction);
    });
    MonthStarts calendar(today);
    MailFigures figures;
    std::optional<std::int64_t> pal;
    bool waiting = false;      // the pal wrote since the user last did
    CalendarDay waitingSince;  // the oldest of those mails
    for (const MailMoment& moment : moments) {
        if (moment.pal != pal) waiting = false;
        pal = moment.pal;
        const std::optional<CalendarDay> day = CalendarDay::Parse(moment.date);
        if (!day || day->number > today.number) continue;
        const auto month = calendar.MonthOf(*day);
        if (moment.direction == MailDirection::Received) {
            if (month) ++calendar.months[*month].received;
            if (!waiting) waitingSince = *day;
            waiting = true;
            continue;
        }
        if (month) ++calendar.months[*month].sent;
        if (waiting && month) ++figures.replyBands[ReplyBand(day->number - waitingSince.number)];
        waiting = false;
    }
    figures.months = std::move(calendar.months);
    return figures;
}

MailFiguresRead ReadMailFigures(const fs::path& archive, CalendarDay today) {
    MailFiguresRead read;
    std::error_code error;
    const fs::file_status status = fs::status(archive, error);
    if (status.type() == fs::file_type::not_found) {
        read.status = MailFiguresRead::Status::Missing;
        return read;
    }
    if (status.type() != fs::file_type::regular) {
        read.error = error ? error.message() : "not a regular file";
        return read;
    }
    try {
        CSqliteDb db;
        db.Open(archive, /*readOnly=*/true, /*create=*/false);
        // Unordered, so that SQLite may answer from an index that holds these columns
        // without reading the mails' texts.
        CStatement query(db, "SELECT pal_id, direction, date FROM mails");
        std::vector<MailMoment> moments;
        while (query.Step())
            moments.push_back(
                {query.Int(0), query.Int(1) == 1 ? MailDirection::Sent : MailDirection::Received, query.Text(2)});
        read.figures = CountMailFigures(moments, today);
        read.status = MailFiguresRead::Status::Read;
    } catch (const CSqliteError& e) {
        read.error = e.what();
    }
    return read;
}

ChartData MailChart(const MailFigures& figures, ChartKind kind) {
    if (kind == ChartKind::ReplyTimes) {
        ChartData chart{.kind = kind, .title = Cp932Text(texts::kChartReplyTimes)};
        for (std::size_t band = 0; band < kReplyBandCount; ++band)
            chart.bars.push_back({Cp932Text(texts::kReplyBands[band]), figures.replyBands[band], 0});
        return chart;
    }
    ChartData chart{.kind = ChartKind::Months, .title = Cp932Text(texts::kChartMonths)};
    ChartLine received{Cp932Text(texts::kMailReceived), kReceivedColour, {}};
    ChartLine sent{Cp932Text(texts::kMailSent), kSentColour, {}};
    for (const MonthMails& month : figures.months) {
        char label[16];
        std::snprintf(label, sizeof label, "%04d/%02d", month.year, month.month);
        chart.categories.push_back(label);
        received.counts.push_back(month.received);
        sent.counts.push_back(month.sent);
    }
    chart.lines = {std::move(received), std::move(sent)};
    return chart;
}
