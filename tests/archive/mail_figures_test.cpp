// The archive's mails over time: counted from a real archive file, read without writing it,
// with a fixed today.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include "archive/mail_archive.h"
#include "archive/mail_figures.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const CalendarDay kToday = CalendarDay::FromDate(2026, 3, 15);

// "r"eceived or "s"ent, the pal, the date-time.
struct M {
    char direction;
    const char* pal;
    const char* date;
};

fs::path WriteArchive(const TempDir& dir, const std::vector<M>& mails) {
    const fs::path file = dir / "pals.mails.sqlite";
    CMailArchive archive;
    EXPECT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::Created);
    std::vector<MailRecord> records;
    for (const M& m : mails) {
        MailRecord record;
        record.pal = m.pal;
        record.direction = m.direction == 's' ? MailDirection::Sent : MailDirection::Received;
        record.date = m.date;
        record.body = std::string(1, m.direction) + m.date;
        record.source = "test";
        records.push_back(record);
    }
    EXPECT_TRUE(archive.Store(records).Ok());
    return file;
}

MailFigures Read(const fs::path& file, CalendarDay today = kToday) {
    const MailFiguresRead read = ReadMailFigures(file, today);
    EXPECT_EQ(read.status, MailFiguresRead::Status::Read) << read.error;
    return read.figures;
}

TEST(MailFigures, ReplyTimesFallIntoTheirBands) {
    using Bands = std::array<int, kReplyBandCount>;
    const struct {
        const char* name;
        std::vector<M> mails;
        Bands bands;
    } rows[] = {
        {"same day", {{'r', "a", "2026-01-10T09:00:00"}, {'s', "a", "2026-01-10T21:00:00"}}, {1, 0, 0, 0, 0, 0}},
        {"a sent mail at the same moment is the answer",
         {{'s', "a", "2026-01-10T09:00:00"}, {'r', "a", "2026-01-10T09:00:00"}},
         {1, 0, 0, 0, 0, 0}},
        {"calendar days, not hours",
         {{'r', "a", "2026-01-10T23:50:00"}, {'s', "a", "2026-01-11T00:10:00"}},
         {0, 1, 0, 0, 0, 0}},
        {"band edges: 2, 3, 7, 8 days",
         {{'r', "a", "2026-01-01T10:00:00"},
          {'s', "a", "2026-01-03T10:00:00"},
          {'r', "b", "2026-01-01T10:00:00"},
          {'s', "b", "2026-01-04T10:00:00"},
          {'r', "c", "2026-01-01T10:00:00"},
          {'s', "c", "2026-01-08T10:00:00"},
          {'r', "d", "2026-01-01T10:00:00"},
          {'s', "d", "2026-01-09T10:00:00"}},
         {0, 1, 2, 1, 0, 0}},
        {"band edges: 14, 15, 28, 29 days",
         {{'r', "a", "2026-01-01T10:00:00"},
          {'s', "a", "2026-01-15T10:00:00"},
          {'r', "b", "2026-01-01T10:00:00"},
          {'s', "b", "2026-01-16T10:00:00"},
          {'r', "c", "2026-01-01T10:00:00"},
          {'s', "c", "2026-01-29T10:00:00"},
          {'r', "d", "2026-01-01T10:00:00"},
          {'s', "d", "2026-01-30T10:00:00"}},
         {0, 0, 0, 1, 2, 1}},
        {"one answer to several mails counts once, from the oldest",
         {{'r', "a", "2026-01-01T10:00:00"},
          {'r', "a", "2026-01-05T10:00:00"},
          {'s', "a", "2026-01-06T10:00:00"},
          {'s', "a", "2026-01-07T10:00:00"}},
         {0, 0, 1, 0, 0, 0}},
        {"mails never answered, and sent mails that answer nothing",
         {{'s', "a", "2026-01-01T10:00:00"}, {'s', "a", "2026-01-02T10:00:00"}, {'r', "a", "2026-01-03T10:00:00"}},
         {0, 0, 0, 0, 0, 0}},
        {"another pal's mail answers nothing",
         {{'r', "a", "2026-01-01T10:00:00"}, {'s', "b", "2026-01-02T10:00:00"}},
         {0, 0, 0, 0, 0, 0}},
        {"an answer sent before the two years does not count; one sent within them to an older mail does",
         {{'r', "a", "2024-01-01T10:00:00"},
          {'s', "a", "2024-01-03T10:00:00"},
          {'r', "b", "2024-03-01T10:00:00"},
          {'s', "b", "2024-04-01T00:00:00"}},
         {0, 0, 0, 0, 0, 1}},
        {"an answer dated after today does not count",
         {{'r', "a", "2026-03-14T10:00:00"}, {'s', "a", "2026-03-16T10:00:00"}},
         {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        TempDir dir;
        EXPECT_EQ(Read(WriteArchive(dir, row.mails)).replyBands, row.bands) << row.name;
    }
}

TEST(MailFigures, MonthsAreTheTwoYearsUpToTodaysMonth) {
    TempDir dir;
    const fs::path file = WriteArchive(dir, {{'r', "a", "2024-03-31T23:59:59"},
                                             {'r', "a", "2024-04-01T00:00:00"},
                                             {'s', "b", "2024-04-30T12:00:00"},
                                             {'r', "b", "2025-12-31T08:00:00"},
                                             {'s', "a", "2026-01-01T08:00:00"},
                                             {'s', "a", "2026-03-15T23:00:00"},
                                             {'r', "a", "2026-03-16T00:00:00"}});
    const MailFigures figures = Read(file);
    ASSERT_EQ(figures.months.size(), 24u);
    EXPECT_EQ(figures.months.front(), (MonthMails{2024, 4, 1, 1}));
    EXPECT_EQ(figures.months[20], (MonthMails{2025, 12, 1, 0}));
    EXPECT_EQ(figures.months[21], (MonthMails{2026, 1, 0, 1}));
    EXPECT_EQ(figures.months.back(), (MonthMails{2026, 3, 0, 1})) << "the mail dated after today is left out";

    const MailFigures january = Read(file, CalendarDay::FromDate(2026, 1, 31));
    EXPECT_EQ(january.months.front(), (MonthMails{2024, 2, 0, 0}));
    EXPECT_EQ(january.months.back(), (MonthMails{2026, 1, 0, 1}));

    const ChartData months = MailChart(figures, ChartKind::Months);
    ASSERT_EQ(months.categories.size(), 24u);
    EXPECT_EQ(months.categories.front(), "2024/04");
    EXPECT_EQ(months.categories.back(), "2026/03");
    ASSERT_EQ(months.lines.size(), 2u);
    EXPECT_EQ(Utf8(months.lines[0].label), "受信");
    EXPECT_EQ(months.lines[0].counts[20], 1);
    EXPECT_EQ(Utf8(months.lines[1].label), "送信");
    EXPECT_EQ(months.lines[1].counts[21], 1);
    const ChartData replies = MailChart(figures, ChartKind::ReplyTimes);
    ASSERT_EQ(replies.bars.size(), kReplyBandCount);
    EXPECT_EQ(Utf8(replies.bars.front().label), "当日");
    EXPECT_EQ(Utf8(replies.bars[3].label), "1～2週間");
    EXPECT_EQ(replies.bars.back().count, 1) << "a's mails since 2024-03-31, answered on 2026-01-01";
    EXPECT_EQ(replies.bars[1].count, 0) << "b's mail of 2025-12-31 is not answered by a's mail";
}

// The figures never write the archive, never make one, and tell what they cannot read.
TEST(MailFigures, ReadsWithoutWritingAndTellsWhatItCannotRead) {
    TempDir dir;
    const fs::path file = WriteArchive(dir, {{'r', "a", "2026-01-01T10:00:00"}, {'s', "a", "2026-01-02T10:00:00"}});
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    const std::string before = ReadFileBytes(file);
    const auto modified = fs::last_write_time(file);
    EXPECT_EQ(Read(file).replyBands[1], 1);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(fs::last_write_time(file), modified);

    EXPECT_EQ(ReadMailFigures(dir / "none.mails.sqlite", kToday).status, MailFiguresRead::Status::Missing);
    EXPECT_FALSE(fs::exists(dir / "none.mails.sqlite"));

    fs::create_directory(dir / "folder.mails.sqlite");
    WriteFileBytes(dir / "text.mails.sqlite", "not a database, only text");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "other.mails.sqlite").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(x)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    for (const char* name : {"folder.mails.sqlite", "text.mails.sqlite", "other.mails.sqlite"}) {
        const MailFiguresRead read = ReadMailFigures(dir / name, kToday);
        EXPECT_EQ(read.status, MailFiguresRead::Status::Failed) << name;
        EXPECT_FALSE(read.error.empty()) << name;
    }
}

}  // namespace
