// The same mails through every road into the program: a single drop, a paste of the
// message, the window's batch of files, take-mail, a local folder check and an IMAP check
// against a Dovecot of the test's own. Each gives the same archive rows, the same pal and
// one undo step per run.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <tuple>

#include "archive/pal_archive.h"
#include "core/table_steps.h"
#include "core/yubino_app.h"
#include "intake/mail_intake_service.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"
#include "sync/imap_url.h"
#include "sync/mailbox_sources.h"
#include "sync/sync_state.h"
#include "ui/main/mail_import.h"

namespace {

constexpr const char* kMe = "me@example.org";

// Two from Hanako (the second with her address in capitals) and one the user sent her.
const std::vector<std::string>& Mails() {
    static const std::vector<std::string> mails = [] {
        std::vector<std::string> made;
        const struct {
            const char* from;
            const char* to;
            int day;
        } rows[] = {
            {"Hanako <hanako@example.jp>", kMe, 1}, {kMe, "hanako@example.jp", 2}, {"HANAKO@EXAMPLE.JP", kMe, 3}};
        for (const auto& row : rows)
            made.push_back(std::string("From: ") + row.from + "\r\nTo: " + row.to + "\r\nSubject: day " +
                           std::to_string(row.day) + "\r\nDate: " + std::to_string(row.day) +
                           " Mar 2024 10:00:00 +0900\r\nMessage-ID: <day" + std::to_string(row.day) +
                           "@roads.example>\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nmail of day " +
                           std::to_string(row.day) + "\r\n");
        return made;
    }();
    return mails;
}

using Row = std::tuple<std::string, std::string, MailDirection>;  // Message-ID, subject, direction

class MailRoadsTest : public testing::Test {
protected:
    // A fresh data file for the road, with Hanako and the user's own address in its archive.
    void Prepare(const std::string& name) {
        // The mails' dates are read in the local time of their writers.
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
        dataFile = dir / (name + ".ybf");
        app = std::make_unique<CYubinoApp>(ui);
        CPenPal hanako;
        hanako.m_strHandleName = "Hanako";
        hanako.m_strMailAddress = "hanako@example.jp";
        hanako.m_dtFirstMail = hanako.m_dtLastMail = COleDateTime(2024, 1, 1);
        app->AddPal(hanako);
        WriteFileBytes(dataFile, WritePalData(*app));
        CMailArchive archive;
        ASSERT_EQ(archive.Open(CMailArchive::PathFor(dataFile), false).status, CMailArchive::OpenStatus::Created);
        archive.SetOwnAddresses({kMe});
        steps = 0;
        app->SetStepSink([this](PalTableStep&&) { ++steps; });
        palArchive = std::make_unique<CPalArchive>(*app, [this] { return ArchiveDocument{dataFile, false}; });
        app->SetHistory(palArchive.get());
    }
    std::vector<Row> Rows() {
        CMailArchive archive;
        EXPECT_EQ(archive.Open(CMailArchive::PathFor(dataFile), true).status, CMailArchive::OpenStatus::Opened);
        std::vector<Row> rows;
        for (const StoredMail& m : archive.Mails("hanako@example.jp").value)
            rows.emplace_back(m.mail.messageId, m.mail.subject, m.mail.direction);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    CPenPal Hanako() {
        CPenPal pal;
        app->FindPalByAddress("hanako@example.jp", pal);
        return pal;
    }
    void TakeBatchWith(CMailSource& source) {
        CMailIntakeService intake(*app, palArchive.get(), {});
        intake.Read(source);
        intake.Finish();
    }

    TempDir dir;
    FakeUserInterface ui;
    std::unique_ptr<CYubinoApp> app;
    std::unique_ptr<CPalArchive> palArchive;
    std::filesystem::path dataFile;
    int steps = 0;
};

TEST_F(MailRoadsTest, EveryRoadGivesTheSameRowsPalAndUndoSteps) {
    std::string mbox;
    std::filesystem::create_directories(dir / "Maildir" / "cur");
    std::filesystem::create_directories(dir / "Maildir" / "new");
    for (std::size_t i = 0; i < Mails().size(); ++i) {
        mbox += "From x Thu Jan  1 00:00:00 2024\n" + Mails()[i] + "\n";
        WriteFileBytes(dir / "Maildir" / "cur" / (std::to_string(i) + ":2,S"), Mails()[i]);
        WriteFileBytes(dir / ("mail" + std::to_string(i) + ".eml"), Mails()[i]);
    }
    WriteFileBytes(dir / "inbox.mbox", mbox);
    TempDir serverDir;
    CDovecotServer server(serverDir.path());
    for (const std::string& mail : Mails()) server.AddMail("", mail);
    ASSERT_TRUE(server.Start()) << server.Log();
    QWidget window;

    const struct Road {
        const char* name;
        int steps;  // a single mail is a run of its own: the two of Hanako, not the sent one
        std::function<void()> take;
    } roads[] = {
        {"a single drop of each", 2,
         [&] {
             for (const std::string& mail : Mails())
                 TakeInSingleMail(*app, palArchive.get(), ReadInternetMessage(mail).mail);
         }},
        {"each message pasted", 2,
         [&] {
             CMailImport import(*app, &window, palArchive.get());
             for (const std::string& mail : Mails()) import.TakeMessage(QByteArray::fromStdString(mail));
         }},
        {"the window's batch", 1,
         [&] {
             CMailImport import(*app, &window, palArchive.get());
             QSignalSpy finished(&import, &CMailImport::Finished);
             import.TakeFiles({QString::fromStdString((dir / "inbox.mbox").string())});
             ASSERT_TRUE(finished.wait(60000));
         }},
        {"take-mail", 1,
         [&] {
             palArchive.reset();
             std::string paths;
             for (std::size_t i = 0; i < Mails().size(); ++i)
                 paths += " " + Quoted((dir / ("mail" + std::to_string(i) + ".eml")).string());
             ASSERT_EQ(
                 RunShell(Quoted(YUBINO_CLI_PATH) + " take-mail " + Quoted(dataFile.string()) + paths + " >/dev/null")
                     .status,
                 0);
             FakeUserInterface quiet;
             app = std::make_unique<CYubinoApp>(quiet);
             ASSERT_FALSE(ReadPalData(*app, ReadFileBytes(dataFile)).LostData());
             app->SetUserInterface(ui);
             steps = 1;  // the command line has no undo; its one run saved the file once
         }},
        {"a local folder check", 1,
         [&] {
             CLocalFolderSource source("Maildir", dir / "Maildir");
             TakeBatchWith(source);
         }},
        {"an IMAP check", 1,
         [&] {
             CArchiveSyncState state(palArchive.get());
             ImapCheckOptions options;
             options.server = *ParseImapUrl(server.ImapsUrl());
             options.password = server.Password();
             options.session.trust = {server.CaFile().string(), {}};
             options.addresses = PalAddressesToCheck(*app);
             options.sinceYear = 2000, options.sinceMonth = 1, options.sinceDay = 1;
             CImapSource source(state, options);
             TakeBatchWith(source);
             EXPECT_TRUE(source.Outcome().Ok()) << source.Outcome().errors.front();
         }},
    };
    const std::vector<Row> expected{{"day1@roads.example", "day 1", MailDirection::Received},
                                    {"day2@roads.example", "day 2", MailDirection::Sent},
                                    {"day3@roads.example", "day 3", MailDirection::Received}};
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        Prepare(road.name);
        road.take();
        EXPECT_EQ(Rows(), expected);
        const CPenPal hanako = Hanako();
        EXPECT_EQ(hanako.m_dtLastMail, COleDateTime(2024, 3, 3, 10, 0, 0));
        EXPECT_EQ(hanako.m_strLastMailText, "mail of day 3\b");
        EXPECT_EQ(hanako.m_dtFirstMail, COleDateTime(2024, 1, 1));
        EXPECT_EQ(app->GetPalCount(), 1) << "the user is never added";
        EXPECT_EQ(steps, road.steps);
        app->SetHistory(nullptr);
        palArchive.reset();
    }
}

}  // namespace
