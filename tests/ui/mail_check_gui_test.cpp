// The mailbox check from the window: F5, the status bar, cancel, and a window that stays usable.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>

#include "archive/mail_archive.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "mail/mail_batch.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/memory_watch.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"
#include "sync/scripted_imap_server.h"
#include "ui/mail/mail_check_controller.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"

namespace {

// A check ends within moments on a quiet machine; a busy one may keep it waiting much longer.
constexpr int kCheckEndsWithinMs = 120000;

// A server that takes the connection and never says a word.
class CSilentServer {
public:
    CSilentServer() : m_fd(BindLoopback(m_port, 4)) {}
    ~CSilentServer() { ::close(m_fd); }
    std::uint16_t Port() const { return m_port; }

private:
    std::uint16_t m_port = 0;
    int m_fd;
};

CPenPal Pal(const std::string& address, const std::string& handle) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = handle;
    return pal;
}

class MailCheckWindowTest : public testing::Test {
protected:
    void Start(const MailAccount& account, int checkEveryMinutes = 0) { Start(std::vector{account}, checkEveryMinutes); }
    void Start(const std::vector<MailAccount>& accounts, int checkEveryMinutes = 0) {
        FakeUserInterface quiet;
        CYubinoApp source(quiet);
        source.AddPal(Pal("pal@example.jp", "Pal"));
        source.AddPal(Pal("aki@example.jp", "Aki"));
        WriteFileBytes(dir / "friends.ybf", WritePalData(source));
        WriteFileBytes(dir / "yubino.cfg", (dir / "friends.ybf").string());
        ASSERT_TRUE(WriteMailAccounts(dir / "accounts.ini", accounts, checkEveryMinutes).ok);
        frame = std::make_unique<CMainFrame>(app, nullptr, AppPaths{dir / "yubino.cfg", dir / "sample.ybf"});
        Check().SetAccountsFile(dir / "accounts.ini");
        Check().SetAskPassword([this](const QString&) -> std::optional<QString> {
            ++asked;
            return password;
        });
        frame->show();
        frame->Start();
    }
    CMailCheckController& Check() { return *frame->MailCheck(); }
    QPushButton* CancelButton() {
        for (QPushButton* b : frame->statusBar()->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("中止")) return b;
        return nullptr;
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const CPenPal& pal : frame->GetListView()->Model().Rows()) rows.push_back(pal.m_strMailAddress);
        return rows;
    }

    TempDir dir;
    QString password = QStringLiteral("pw");
    int asked = 0;
    FakeUserInterface ui;
    CYubinoApp app{ui};
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MailCheckWindowTest, TheWindowAnswersClicksDuringACheckAndCancelEndsIt) {
    CSilentServer server;
    MailAccount account;
    account.name = "silent";
    account.server = {"127.0.0.1", server.Port(), ImapSecurity::Plain, "u"};
    Start(account);
    QSignalSpy finished(&Check(), &CMailCheckController::Finished);

    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
    QTest::keyClick(frame.get(), Qt::Key_F5);
    ASSERT_TRUE(Check().Running());
    EXPECT_FALSE(Check().CheckAction()->isEnabled());
    ASSERT_NE(CancelButton(), nullptr);
    EXPECT_TRUE(CancelButton()->isVisible());

    // While the server keeps silent, a click on the list's header sorts the list.
    const std::vector<std::string> before = Rows();
    QHeaderView* header = frame->GetListView()->DetailsView().header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(4) + 5, header->height() / 2));
    QTest::qWait(50);
    EXPECT_NE(Rows(), before);
    EXPECT_TRUE(Check().Running());

    QTest::mouseClick(CancelButton(), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_FALSE(Check().Running());
    EXPECT_TRUE(Check().CheckAction()->isEnabled());
    EXPECT_FALSE(CancelButton()->isVisible());
    const QStringList errors = finished.at(0).at(1).toStringList();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("中止"))) << errors[0].toStdString();
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(MailCheckWindowTest, ACheckAgainstARealServerEndsWithOneLineInTheStatusBar) {
    CDovecotServer server(dir.path());
    server.AddMail("", TestMail("pal@example.jp", "me@example.org", 1));
    server.AddMail("", TestMail("stranger@example.com", "me@example.org", 2));
    server.AddMail(CDovecotServer::kSentFolder, TestMail("me@example.org", "aki@example.jp", 3));
    ASSERT_TRUE(server.Start()) << server.Log();
    MailAccount account;
    account.name = "dovecot";
    account.server = *ParseImapUrl(server.ImapsUrl());
    account.caFile = server.CaFile().string();
    password = QString::fromStdString(server.Password());
    Start(account);
    QSignalSpy finished(&Check(), &CMailCheckController::Finished);

    Check().CheckAction()->trigger();
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    // The sent mail to Aki is new too, but no mail came from her; the summary names the
    // folders it looked at.
    const QString summary = QStringLiteral("1人から新しいメールが1通　確認したフォルダー: INBOX, 送信済み");
    EXPECT_EQ(finished.at(0).at(0).toString(), summary);
    EXPECT_TRUE(finished.at(0).at(1).toStringList().isEmpty());
    EXPECT_EQ(frame->statusBar()->currentMessage(), summary);
    EXPECT_TRUE(ui.messages.empty());

    Check().CheckAction()->trigger();
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_EQ(finished.at(1).at(0).toString(),
              QStringLiteral("新しいメールはありません　確認したフォルダー: INBOX, 送信済み"));
}

TEST_F(MailCheckWindowTest, WithoutAccountsTheCheckOpensTheAccountsDialogAndKeepsWhatItGives) {
    MailAccount none;
    none.name = "placeholder";
    Start(none);
    WriteMailAccounts(dir / "accounts.ini", {});
    MailAccount added;
    added.name = "仕事";
    added.server = {"mail.example.jp", 993, ImapSecurity::Tls, "taro"};
    Check().SetEditAccounts([&](std::vector<MailAccount>& accounts, int&) {
        accounts.push_back(added);
        return true;
    });
    Check().CheckAction()->trigger();
    EXPECT_FALSE(Check().Running());
    EXPECT_EQ(ui.messages.size(), 1u);
    const MailAccountsRead read = ReadMailAccounts(dir / "accounts.ini");
    ASSERT_EQ(read.accounts.size(), 1u);
    EXPECT_EQ(read.accounts[0], added);
}

MailAccount LocalAccount(const char* name, MailAccount::Kind kind, const std::filesystem::path& path) {
    MailAccount account;
    account.name = name;
    account.kind = kind;
    account.path = path.string();
    return account;
}

// Local accounts are read like IMAP ones: only the pals' mails count, a second check finds
// them kept already, and a folder that is gone is told once, naming its account.
TEST_F(MailCheckWindowTest, MaildirAndMboxAccountsAreReadOnTheWorkerAndToldInOneLine) {
    std::filesystem::create_directories(dir / "Maildir" / "cur");
    std::filesystem::create_directories(dir / "Maildir" / "new");
    WriteFileBytes(dir / "Maildir" / "cur" / "1:2,S", TestMail("pal@example.jp", "me@example.org", 1));
    WriteFileBytes(dir / "Maildir" / "new" / "2", TestMail("stranger@example.com", "me@example.org", 2));
    std::string mbox;
    for (int id : {3, 4}) {
        mbox += "From aki@example.jp Mon Dec  7 10:00:00 2026\n" +
                TestMail(id == 3 ? "aki@example.jp" : "pal@example.jp", "me@example.org", id) + "\n";
    }
    WriteFileBytes(dir / "Inbox.mbox", mbox);
    Start({LocalAccount("メール", MailAccount::Kind::Maildir, dir / "Maildir"),
           LocalAccount("受信箱", MailAccount::Kind::Mbox, dir / "Inbox.mbox"),
           LocalAccount("古い受信箱", MailAccount::Kind::Mbox, dir / "gone.mbox")});
    QSignalSpy finished(&Check(), &CMailCheckController::Finished);

    Check().CheckAction()->trigger();
    EXPECT_TRUE(Check().Running());
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_EQ(finished.at(0).at(0).toString(), QStringLiteral("2人から新しいメールが3通"));
    const QStringList errors = finished.at(0).at(1).toStringList();
    ASSERT_EQ(errors.size(), 1) << errors.join(QStringLiteral("\n")).toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("古い受信箱"))) << errors[0].toStdString();
    EXPECT_EQ(ui.messages.size(), 1u);
    CPenPal pal;
    ASSERT_TRUE(FindPalByAnyAddress(app, "aki@example.jp", pal));
    EXPECT_NE(pal.m_strLastMailText.find("test mail 3"), std::string::npos) << cp932::ToUtf8(pal.m_strLastMailText);
    EXPECT_EQ(asked, 0);

    // Nothing new where the folders could be read; the one gone still makes it a failed check.
    Check().CheckAction()->trigger();
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_EQ(finished.at(1).at(0).toString(), QStringLiteral("メールを確認できませんでした"));
}

// The timed check runs on its timer's turn only when nothing else holds the user: not
// during another check, not under a modal dialog; and it never asks for a password.
TEST_F(MailCheckWindowTest, TheTimedCheckWaitsForARunningCheckAndADialogAndAsksNothing) {
    CSilentServer silent;
    MailAccount imap;
    imap.name = "silent";
    imap.server = {"127.0.0.1", silent.Port(), ImapSecurity::Plain, "u"};
    std::filesystem::create_directories(dir / "Maildir" / "new");
    WriteFileBytes(dir / "Maildir" / "new" / "1", TestMail("pal@example.jp", "me@example.org", 1));
    Start({imap, LocalAccount("メール", MailAccount::Kind::Maildir, dir / "Maildir")}, 5);
    QSignalSpy finished(&Check(), &CMailCheckController::Finished);
    ASSERT_TRUE(Check().Timer().isActive());
    EXPECT_EQ(Check().Timer().interval(), 0);  // the start-up check comes at once

    // Its turn under a modal dialog: it comes back a minute later.
    QDialog dialog(frame.get());
    dialog.setModal(true);
    dialog.show();
    Check().Tick();
    EXPECT_FALSE(Check().Running());
    EXPECT_EQ(Check().Timer().interval(), 60 * 1000);
    dialog.close();

    // Its turn: the IMAP account's password is not known yet, so only the Maildir is read.
    Check().Tick();
    EXPECT_TRUE(Check().Running());
    EXPECT_EQ(Check().Timer().interval(), 5 * 60 * 1000);
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_EQ(finished.at(0).at(0).toString(), QStringLiteral("1人から新しいメールが1通"));
    EXPECT_EQ(asked, 0);

    // Its turn while the user's own check waits on the silent server: no second check.
    Check().CheckAction()->trigger();
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(Check().Running());
    Check().Tick();
    EXPECT_EQ(Check().Timer().interval(), 60 * 1000);
    Check().Cancel();
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_EQ(finished.size(), 2);
}

// A server that never ends its first line: the timed check stops it within bounds, tells
// why, and says the check failed rather than that nothing was new.
TEST_F(MailCheckWindowTest, TheTimedCheckAgainstAnEndlessLineStaysSmallAndTellsWhy) {
    CScriptedImapServer server({.endlessLine = true});
    MailAccount account;
    account.name = "endless";
    account.server = {"127.0.0.1", server.Port(), ImapSecurity::Plain, "u"};
    account.commandTimeoutSeconds = 60;
    Start(account, 5);
    QSignalSpy finished(&Check(), &CMailCheckController::Finished);
    // The user's own check first, so that the password is known to the timed one.
    Check().CheckAction()->trigger();
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    const CMemoryWatch memory;
    Check().Tick();
    ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
    EXPECT_LT(memory.GrowthBytes(), 100L * 1024 * 1024);
    EXPECT_EQ(finished.at(1).at(0).toString(), QStringLiteral("メールを確認できませんでした"));
    const QStringList errors = finished.at(1).at(1).toStringList();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("サーバーの応答が長すぎる"))) << errors[0].toStdString();
}

// A mailbox out of reach is told by the first timed check that meets it; the next turns
// leave the same error in the status bar instead of interrupting the user again, while the
// user's own check always tells it.
TEST_F(MailCheckWindowTest, TheTimedCheckTellsTheSameErrorOnce) {
    Start({LocalAccount("古い受信箱", MailAccount::Kind::Mbox, dir / "gone.mbox")}, 5);
    QSignalSpy finished(&Check(), &CMailCheckController::Finished);
    const struct {
        const char* turn;
        bool byUser;
        std::size_t messagesAfter;
        bool inStatusBar;
    } turns[] = {
        {"the first timed check", false, 1, false},
        {"the same error on the next turn", false, 1, true},
        {"the user's own check", true, 2, false},
        {"the timed check after it", false, 2, true},
    };
    for (const auto& turn : turns) {
        SCOPED_TRACE(turn.turn);
        if (turn.byUser)
            Check().CheckAction()->trigger();
        else
            Check().Tick();
        ASSERT_TRUE(finished.wait(kCheckEndsWithinMs));
        EXPECT_EQ(ui.messages.size(), turn.messagesAfter);
        EXPECT_EQ(frame->statusBar()->currentMessage().contains(QStringLiteral("古い受信箱")), turn.inStatusBar)
            << frame->statusBar()->currentMessage().toStdString();
        // A check that failed never says that nothing was new.
        EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith(QStringLiteral("メールを確認できませんでした")))
            << frame->statusBar()->currentMessage().toStdString();
    }
}

TEST_F(MailCheckWindowTest, TheAccountsDialogTurnsTheTimedCheckOnAndOffAndStoresItWithTheAccounts) {
    Start(LocalAccount("メール", MailAccount::Kind::Maildir, dir / "Maildir"));
    EXPECT_FALSE(Check().Timer().isActive());
    const std::string settingsLine = ReadFileBytes(dir / "yubino.cfg");
    for (int minutes : {15, 0}) {
        SCOPED_TRACE(minutes);
        Check().SetEditAccounts([&](std::vector<MailAccount>&, int& every) { return every = minutes, true; });
        Check().AccountsAction()->trigger();
        EXPECT_EQ(ReadMailAccounts(dir / "accounts.ini").checkEveryMinutes, minutes);
        EXPECT_EQ(Check().Timer().isActive(), minutes > 0);
        EXPECT_EQ(Check().Timer().interval(), minutes ? minutes * 60 * 1000 : Check().Timer().interval());
    }
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), settingsLine);
}

// Closing the window while a check takes mails in: the check is cancelled and waited for,
// then the file is saved with every pal following the mails kept; the window then goes
// with no mail left to run on its archive (the sanitizer build checks the last part).
TEST_F(MailCheckWindowTest, ClosingTheWindowMidCheckEndsTheCheckBeforeTheFileIsSaved) {
    for (int i = 1; i <= 400; ++i) {
        std::filesystem::create_directories(dir / "Maildir" / "new");
        const std::string day = std::to_string(1 + i % 28);
        WriteFileBytes(dir / "Maildir" / "new" / std::to_string(i),
                       "From: " + std::string(i % 2 ? "pal" : "aki") + "@example.jp\nTo: me@example.org\nSubject: " +
                           std::to_string(i) + "\nDate: " + day + " Nov 2026 10:00:00 +0900\nMessage-ID: <" +
                           std::to_string(i) + "@close>\n\nmail " + std::to_string(i) + "\n");
    }
    Start(LocalAccount("メール", MailAccount::Kind::Maildir, dir / "Maildir"));
    Check().CheckAction()->trigger();
    ASSERT_TRUE(Check().Running());
    const std::filesystem::path archivePath = CMailArchive::PathFor(dir / "friends.ybf");
    auto kept = [&] {
        CMailArchive archive;
        return archive.Open(archivePath, true).status == CMailArchive::OpenStatus::Opened
                   ? archive.MailCount("pal@example.jp").value + archive.MailCount("aki@example.jp").value
                   : 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(kept() >= 5, 60000);
    frame->close();
    EXPECT_FALSE(Check().Running());
    frame.reset();

    // The saved pals are those the archive's mails give.
    FakeUserInterface quiet;
    CYubinoApp saved(quiet);
    ASSERT_FALSE(ReadPalData(saved, ReadFileBytes(dir / "friends.ybf")).LostData());
    CMailArchive archive;
    ASSERT_EQ(archive.Open(archivePath, true).status, CMailArchive::OpenStatus::Opened);
    for (const char* address : {"pal@example.jp", "aki@example.jp"}) {
        SCOPED_TRACE(address);
        const std::vector<StoredMail> mails = archive.Mails(address).value;
        ASSERT_FALSE(mails.empty());
        CPenPal pal;
        ASSERT_TRUE(saved.FindPalByAddress(address, pal));
        EXPECT_EQ(pal.m_dtLastMail.Format("%Y-%m-%dT%H:%M:%S"), mails.front().mail.date);
    }
}

}  // namespace
