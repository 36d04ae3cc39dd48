// The address book sync from the window, against a Radicale of the test's own: the account
// asked for once and kept beside the mailboxes, the cards arriving as pals in one undo step,
// what the user is told when the server cannot be used, and deletions asked for first.
#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "contacts/radicale_server.h"
#include "core/yubino_app.h"
#include "main_window_fixture.h"
#include "screenshot.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"
#include "sync/mail_accounts.h"
#include "ui/contacts/contact_sync_controller.h"
#include "ui/features/features.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/undo_history.h"
#include "ui/main/yubino_view.h"

namespace {

namespace fs = std::filesystem;

// A sync ends within seconds on a quiet machine; a busy one may keep it waiting much longer.
constexpr int kSyncEndsWithinMs = 180000;
constexpr const char* kBook = "friends";

std::string Address(int n) { return "pal" + std::to_string(n) + "@example.jp"; }

CPenPal TestPal(int n) {
    CPenPal pal;
    pal.m_strHandleName = "pal" + std::to_string(n);
    pal.m_strMailAddress = Address(n);
    return pal;
}

class ContactSyncWindowTest : public testing::Test {
public:
    // Each start on a folder of its own: a server, a data file and its archive.
    void SetUp() override {
        root = dir / ("run" + std::to_string(++runs));
        fs::create_directories(root);
        server = std::make_unique<CRadicaleServer>(root / "server");
        ASSERT_TRUE(server->Start()) << server->Log();
        ASSERT_TRUE(server->MakeBook(kBook)) << server->Log();
        account = {"https://127.0.0.1:" + std::to_string(server->Port()) + "/", server->User(),
                   server->CaFile().string(), "", ""};
    }

    void Open(int pals) {
        FakeUserInterface quiet;
        CYubinoApp source(quiet);
        for (int n = 0; n < pals; ++n) source.AddPal(TestPal(n));
        WriteFileBytes(root / "friends.ybf", WritePalData(source));
        WriteFileBytes(root / "yubino.cfg", (root / "friends.ybf").string());
        frame = std::make_unique<CMainFrame>(app, nullptr, AppPaths{root / "yubino.cfg", root / "sample.ybf"});
        ui.host = frame.get();
        frame->show();
        frame->Start();
        Sync().SetAccountsFile(root / "accounts.ini");
        Sync().SetEditAccount([this](ContactAccount& edited, QString& given) {
            ++asked;
            edited = account;
            given = password;
            return true;
        });
    }
    CContactSyncController& Sync() { return frame->Features()->ContactSync(); }
    QAction* SyncAction() { return frame->findChild<QAction*>(QStringLiteral("syncContacts")); }

    // The menu command, to its end; what the user was told.
    QString RunSync() {
        QSignalSpy finished(&Sync(), &CContactSyncController::Finished);
        SyncAction()->trigger();
        EXPECT_TRUE(finished.count() > 0 || finished.wait(kSyncEndsWithinMs));
        return finished.isEmpty() ? QString() : finished.last().at(0).toString();
    }

    void PutCard(const std::string& uid, const std::string& address) {
        WriteFileBytes(root / "card.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + uid +
                                              "\r\nEMAIL:" + address + "\r\nEND:VCARD\r\n");
        ASSERT_EQ(RunShell("curl " + server->CurlOptions() + " -o /dev/null -w '%{http_code}' -T " +
                           Quoted((root / "card.vcf").string()) + " " + Quoted(server->BookUrl(kBook) + uid + ".vcf"))
                      .out,
                  "201");
    }

    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const CPenPal& pal : frame->GetListView()->Model().Rows()) rows.push_back(pal.m_strMailAddress);
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    TempDir dir;
    int runs = 0;
    fs::path root;
    std::unique_ptr<CRadicaleServer> server;
    ContactAccount account;
    QString password = QString::fromStdString("secret-Pa55");
    int asked = 0;
    main_window_fixture::FramePort ui;
    CYubinoApp app{ui};
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ContactSyncWindowTest, TheFirstSyncAsksForTheAccountAndBringsTheCardsInOneUndoStep) {
    MailAccount mbox;
    mbox.name = "手元";
    mbox.kind = MailAccount::Kind::Mbox;
    mbox.path = "/home/taro/mbox";
    ASSERT_TRUE(WriteMailAccounts(root / "accounts.ini", {mbox}, 30).ok);
    PutCard("card-a", "aki@example.jp");
    PutCard("card-b", "bun@example.jp");
    Open(2);

    const QString told = RunSync();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"aki@example.jp", "bun@example.jp", Address(0), Address(1)}));
    EXPECT_TRUE(told.startsWith(QStringLiteral("連絡先を同期しました。\n追加 2 件、更新 0 件、削除 0 件、競合 0 件")))
        << told.toStdString();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, told.toStdString());
    EXPECT_EQ(server->CardCount(kBook), 4u);
    FakeUserInterface quiet;
    CYubinoApp saved(quiet);
    ReadPalData(saved, ReadFileBytes(root / "friends.ybf"));
    EXPECT_EQ(saved.GetPalCount(), 4);

    const MailAccountsRead stored = ReadMailAccounts(root / "accounts.ini");
    EXPECT_EQ(stored.accounts, std::vector<MailAccount>{mbox});
    EXPECT_EQ(stored.checkEveryMinutes, 30);
    EXPECT_EQ(stored.contactAccounts, std::vector<ContactAccount>{account});
    EXPECT_EQ(ReadFileBytes(root / "accounts.ini").find(password.toStdString()), std::string::npos);

    frame->History().Stack().undo();
    EXPECT_EQ(Rows(), (std::vector<std::string>{Address(0), Address(1)}));
    frame->History().Stack().redo();
    EXPECT_EQ(Rows().size(), 4u);

    // The next sync asks nothing and finds nothing new.
    EXPECT_TRUE(RunSync().startsWith(QStringLiteral("連絡先を同期しました。\n追加 0 件、更新 0 件、削除 0 件")));
    EXPECT_EQ(asked, 1);
}

TEST_F(ContactSyncWindowTest, AServerThatCannotBeUsedIsToldInWordsTheUserCanActOn) {
    struct Case {
        const char* name;
        std::function<void(ContactSyncWindowTest&)> arrange;
        bool trustAnswer;
        const char* told;  // the start of what the user is told
        std::size_t pals;  // in the table after
    };
    const Case cases[] = {
        {"nothing listens at the port", [](ContactSyncWindowTest& t) { t.account.url = "https://127.0.0.1:1/"; }, false,
         "サーバー https://127.0.0.1:1/ に接続できませんでした", 2},
        {"the password is wrong", [](ContactSyncWindowTest& t) { t.password = QStringLiteral("wrong"); }, false,
         "サーバーがログインを拒否しました", 2},
        {"the certificate is not trusted and the user keeps it so",
         [](ContactSyncWindowTest& t) { t.account.caFile.clear(); }, false, "サーバーの証明書を確認できないため", 2},
        {"the certificate is trusted by its fingerprint", [](ContactSyncWindowTest& t) { t.account.caFile.clear(); },
         true, "連絡先を同期しました。\n追加 1 件", 3},
        {"the server has no address book",
         [](ContactSyncWindowTest& t) {
             ASSERT_EQ(RunShell("curl " + t.server->CurlOptions() + " -o /dev/null -w '%{http_code}' -X DELETE " +
                                Quoted(t.server->BookUrl(kBook)))
                           .out,
                       "200");
         },
         false, "サーバーにアドレス帳が見つかりませんでした", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        PutCard("card-a", "aki@example.jp");
        c.arrange(*this);
        ui.yesNoAnswers = {c.trustAnswer};
        Open(2);
        const QString told = RunSync();
        EXPECT_TRUE(told.startsWith(QString::fromUtf8(c.told))) << told.toStdString();
        EXPECT_EQ(Rows().size(), c.pals);
        ui.host = nullptr;
        frame.reset();
        server.reset();
        account = {};
        password = QStringLiteral("secret-Pa55");
    }
}

TEST_F(ContactSyncWindowTest, MoreThanTenDeletionsAreAskedForFirst) {
    Open(12);
    ASSERT_TRUE(RunSync().startsWith(QStringLiteral("連絡先を同期しました。")));
    ASSERT_EQ(server->CardCount(kBook), 12u);
    for (const auto& entry : fs::directory_iterator(server->BookDir(kBook))) {
        if (entry.path().extension() != ".vcf") continue;
        ASSERT_EQ(RunShell("curl " + server->CurlOptions() + " -o /dev/null -w '%{http_code}' -X DELETE " +
                           Quoted(server->BookUrl(kBook) + entry.path().filename().string()))
                      .out,
                  "200");
    }

    ui.yesNoAnswers = {false};
    RunSync();
    EXPECT_EQ(Rows().size(), 12u);
    ASSERT_FALSE(ui.events.empty());
    EXPECT_NE(ui.events.back().find("question: 同期すると 12 件の連絡先が削除されます"), std::string::npos);

    ui.yesNoAnswers = {true};
    EXPECT_TRUE(RunSync().startsWith(QStringLiteral("連絡先を同期しました。\n追加 0 件、更新 0 件、削除 12 件")));
    EXPECT_TRUE(Rows().empty());
}

// A cancel at any moment leaves each card taken in whole or not at all: the next sync
// brings the rest, with no pal lost or doubled on either side.
TEST_F(ContactSyncWindowTest, ACancelledSyncLeavesNothingHalfDone) {
    for (int n = 0; n < 60; ++n) PutCard("there-" + std::to_string(n), "there" + std::to_string(n) + "@example.jp");
    Open(60);
    QSignalSpy finished(&Sync(), &CContactSyncController::Finished);
    SyncAction()->trigger();
    QPointer<QProgressDialog> progress = frame->findChild<QProgressDialog*>();
    ASSERT_FALSE(progress.isNull());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty() || progress->value() > 0; }, kSyncEndsWithinMs));
    if (finished.isEmpty()) {
        SaveScreenshot(*progress, QStringLiteral("contact-sync-progress"));
        QPushButton* cancel = progress->findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
    }
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(kSyncEndsWithinMs));
    const QString stopped = finished.first().at(0).toString();
    EXPECT_TRUE(stopped.startsWith(QStringLiteral("連絡先の同期を中止しました。")) ||
                stopped.startsWith(QStringLiteral("連絡先を同期しました。")))
        << stopped.toStdString();

    const QString told = RunSync();
    EXPECT_TRUE(told.startsWith(QStringLiteral("連絡先を同期しました。"))) << told.toStdString();
    EXPECT_EQ(Rows().size(), 120u);
    EXPECT_EQ(server->CardCount(kBook), 120u);
    QMessageBox summary(QMessageBox::Information, QStringLiteral("Yubino"), told, QMessageBox::Ok, frame.get());
    summary.show();
    SaveScreenshot(summary, QStringLiteral("contact-sync-summary"));
}

}  // namespace
