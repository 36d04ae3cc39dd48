// Pictures of the mail archive's charts for the documentation: the bundled sample's pals
// with two years of made-up correspondence, written only when YUBINO_SCREENSHOT_DIR names a
// directory.
#include <gtest/gtest.h>

#include <QDir>

#include "archive/archive_seed.h"
#include "archive/mail_archive.h"
#include "archive/mail_figures.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/charts/chart_render.h"

namespace {

// Each pal writes now and then; the user answers after a few days, sometimes weeks, and
// some pals wrote more in the last year.
std::vector<MailRecord> Correspondence(const std::vector<CPenPal>& pals, CalendarDay today) {
    std::vector<MailRecord> mails;
    unsigned seed = 7;
    const auto next = [&seed](unsigned below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    for (std::size_t p = 0; p < pals.size(); ++p) {
        const std::string pal = ArchiveAddress(pals[p].m_strMailAddress);
        for (long long day = today.number - 760 + next(30); day < today.number;) {
            MailRecord received;
            received.pal = pal;
            received.date = CalendarDay{day}.Format() + "T20:00:00";
            received.body = "mail " + std::to_string(day);
            mails.push_back(received);
            const unsigned wait = next(10) < 6 ? next(3) : next(10) < 7 ? 3 + next(12) : 15 + next(30);
            MailRecord sent = received;
            sent.direction = MailDirection::Sent;
            sent.date = CalendarDay{day + wait}.Format() + "T22:00:00";
            if (day + wait <= today.number) mails.push_back(sent);
            day += wait + 4 + next(p % 3 == 0 && day > today.number - 365 ? 12 : 40);
        }
    }
    return mails;
}

TEST(ChartScreenshots, SampleMailCharts) {
    const QByteArray target = qgetenv("YUBINO_SCREENSHOT_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "YUBINO_SCREENSHOT_DIR not set";
    FakeUserInterface ui;
    CYubinoApp app{ui};
    ReadPalData(app, ReadFileBytes(YUBINO_SAMPLE_FILE));
    ASSERT_GT(app.GetPalCount(), 0);
    const CalendarDay today = CalendarDay::FromDate(2026, 11, 30);
    TempDir dir;
    const std::filesystem::path file = dir / "sample.mails.sqlite";
    {
        CMailArchive archive;
        ASSERT_EQ(archive.Open(file, false).status, CMailArchive::OpenStatus::Created);
        ASSERT_TRUE(archive.Store(Correspondence(app.Pals(), today)).Ok());
    }
    const MailFiguresRead read = ReadMailFigures(file, today);
    ASSERT_EQ(read.status, MailFiguresRead::Status::Read) << read.error;
    for (ChartKind kind : kMailChartKinds) {
        const QString name = QStringLiteral("chart-%1.png").arg(QString::fromLatin1(ChartKindName(kind).data()));
        EXPECT_TRUE(SaveChart(MailChart(read.figures, kind), QDir(QString::fromUtf8(target)).filePath(name)));
    }
}

}  // namespace
