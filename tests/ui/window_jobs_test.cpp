// The window's runner of long work, and the progress of an archive brought to the present
// format while the window opens it.
#include "ui/jobs/window_jobs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <stdexcept>

#include "archive/archive_schema.h"
#include "archive/mail_archive.h"
#include "archive/pal_archive.h"
#include "archive/sqlite_db.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/main/main_frame.h"

namespace {

constexpr int kEndsWithinMs = 120000;

TEST(WindowJobsTest, ProgressAndEndAreToldOnTheWindowsThread) {
    struct Case {
        const char* name;
        bool throws;
        bool cancel;
        JobEnd::Status status;
    };
    const Case cases[] = {
        {"work that returns", false, false, JobEnd::Status::Done},
        {"work that throws is a failure", true, false, JobEnd::Status::Failed},
        {"work cancelled mid-way", false, true, JobEnd::Status::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWindowJobs jobs;
        std::vector<QThread*> progressThreads;
        QThread* endThread = nullptr;
        std::optional<JobEnd> end;
        std::atomic<bool> reported{false};
        auto job = jobs.Start(
            [&](CJobToken& token) {
                token.Progress({1, 2, "受信箱"});
                reported = true;
                if (c.throws) throw std::runtime_error("disk full");
                while (c.cancel && !token.Cancelled()) QThread::yieldCurrentThread();
            },
            [&](const JobEnd& e) {
                endThread = QThread::currentThread();
                end = e;
            },
            [&](const JobProgress&) { progressThreads.push_back(QThread::currentThread()); });
        QTRY_VERIFY_WITH_TIMEOUT(reported, kEndsWithinMs);
        if (c.cancel) job->Cancel();
        QTRY_VERIFY_WITH_TIMEOUT(end.has_value(), kEndsWithinMs);
        EXPECT_EQ(end->status, c.status);
        EXPECT_EQ(endThread, qApp->thread());
        for (QThread* thread : progressThreads) EXPECT_EQ(thread, qApp->thread());
    }
}

// The mailbox check hands each mail to the window's thread and waits for it: closing the
// window waits for such work without stopping the loop it waits on.
TEST(WindowJobsTest, CancelAndWaitServesWorkThatWaitsOnTheWindowsThread) {
    QObject window;
    CWindowJobs jobs(&window);
    std::atomic<int> served{0};
    std::optional<JobEnd> end;
    jobs.Start(
        [&](CJobToken& token) {
            while (!token.Cancelled())
                QMetaObject::invokeMethod(
                    &window, [&] { ++served; }, Qt::BlockingQueuedConnection);
        },
        [&](const JobEnd& e) { end = e; });
    QTRY_VERIFY_WITH_TIMEOUT(served > 0, kEndsWithinMs);
    jobs.CancelAndWait();
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->status, JobEnd::Status::Cancelled);
}

// Records the progress dialogs shown, with their text and their number of steps.
class CShownProgress : public QObject {
public:
    std::vector<std::pair<QString, int>> shown;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QProgressDialog*>(object))
                shown.emplace_back(dialog->labelText(), dialog->maximum());
        return false;
    }
};

TEST(ArchiveUpgradeWindowTest, AnArchiveWithThousandsOfTwinsShowsItsProgressWhileItOpens) {
    constexpr int kTwins = 3000;
    TempDir dir;
    FakeUserInterface quiet;
    CYubinoApp source(quiet);
    CPenPal pal;
    pal.m_strMailAddress = "pal@example.jp";
    pal.m_strHandleName = "Pal";
    source.AddPal(pal);
    WriteFileBytes(dir / "friends.ybf", WritePalData(source));
    WriteFileBytes(dir / "yubino.cfg", (dir / "friends.ybf").string());
    const std::filesystem::path archivePath = CMailArchive::PathFor(dir / "friends.ybf");
    {
        // An archive of an earlier release: every mail stands twice, once as a seed.
        CSqliteDb db;
        db.Open(archivePath, false, true);
        MigrateSchema(db, 0, 3);
        db.Exec("INSERT INTO pals(id, address) VALUES (1, 'pal@example.jp')");
        db.Exec(("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kTwins) +
                 ") INSERT INTO mails(pal_id, direction, date, subject, body, message_id, source, body_hash, folded) "
                 "SELECT 1, 0, strftime('%Y-%m-%dT%H:%M:%S', '2020-01-01', '+' || i || ' hours'), s.subject, "
                 "'mail ' || i, CASE s.source WHEN 'seed' THEN '' ELSE i || '@x' END, s.source, i, '' FROM n, "
                 "(SELECT 'hi' AS subject, 'imap' AS source UNION ALL SELECT '', 'seed') s")
                    .c_str());
        db.Exec("INSERT INTO mails_fts(rowid, folded) SELECT id, folded FROM mails");
    }
    CShownProgress progress;
    qApp->installEventFilter(&progress);
    FakeUserInterface ui;
    CYubinoApp app(ui);
    {
        CMainFrame frame(app, nullptr, AppPaths{dir / "yubino.cfg", dir / "sample.ybf"});
        frame.show();
        frame.Start();
        ASSERT_NE(frame.Archive().Archive(), nullptr);
        EXPECT_EQ(frame.Archive().Archive()->MailCount("pal@example.jp").value, kTwins);
        EXPECT_TRUE(frame.findChildren<QProgressDialog*>().isEmpty() ||
                    !frame.findChildren<QProgressDialog*>().front()->isVisible());
    }
    qApp->removeEventFilter(&progress);
    ASSERT_EQ(progress.shown.size(), 1u);
    EXPECT_EQ(progress.shown[0].first, QString::fromUtf8(texts::kArchiveUpgrading));
    EXPECT_EQ(progress.shown[0].second, kTwins);
}

}  // namespace
