// The window's undo history, recovery offer and restore from a backup, driven as a user
// drives them: menu texts, keys, the restore dialog.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "core/yubino_app.h"
#include "modal.h"
#include "storage/backup_store.h"
#include "storage/pal_data_file.h"
#include "storage/recovery_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "sync/mail_accounts.h"
#include "ui/dialogs/restore_dlg.h"
#include "ui/mail/mail_check_controller.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/recovery_keeper.h"
#include "ui/main/undo_history.h"
#include "ui/main/yubino_view.h"

namespace fs = std::filesystem;

namespace {

class FramePort : public FakeUserInterface {
public:
    CViewHost* host = nullptr;
    void UpdateListView() override {
        if (host) host->UpdateListView();
    }
    void UpdateMapView() override {
        if (host) host->UpdateMapView();
    }
    std::vector<std::string> GetSelectedAddresses() override {
        return host ? host->GetSelectedAddresses() : std::vector<std::string>{};
    }
};

CPenPal Pal(const std::string& address, const std::string& handleUtf8) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = Sjis(handleUtf8);
    pal.m_strMapName = Sjis("関東");
    return pal;
}

std::string PalFileBytes(const std::vector<CPenPal>& pals) {
    FakeUserInterface quiet;
    CYubinoApp source(quiet);
    for (const CPenPal& pal : pals) source.AddPal(pal);
    return WritePalData(source);
}

const std::vector<CPenPal> kPals = {Pal("a@x", "あお"), Pal("b@x", "ゆきうさぎ"), Pal("c@x", "しろ")};

class HistoryTest : public testing::Test {
protected:
    void Start(const std::vector<CPenPal>& pals = kPals) {
        WriteFileBytes(dataFile, PalFileBytes(pals));
        WriteFileBytes(dir / "yubino.cfg", dataFile.string());
        frame = std::make_unique<CMainFrame>(app, nullptr, AppPaths{dir / "yubino.cfg", dir / "sample.ybf"});
        ui.host = frame.get();
        frame->show();
        frame->Start();
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const CPenPal& pal : frame->GetListView()->Model().Rows()) rows.push_back(pal.m_strMailAddress);
        return rows;
    }
    void Select(const std::vector<int>& rows) {
        CYubinoView& list = *frame->GetListView();
        list.Selection().clearSelection();
        for (int row : rows)
            list.Selection().select(list.Model().index(row, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString Text(int id) { return frame->Action(id)->text(); }

    TempDir dir;
    fs::path dataFile = dir / "friends.ybf";
    FramePort ui;
    CYubinoApp app{ui};
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(HistoryTest, EditMenuNamesTheStepsAndTheKeysWalkThem) {
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
    const QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[1]->text(), QStringLiteral("編集(&E)"));
    EXPECT_FALSE(frame->Action(ID_EDIT_UNDO)->isEnabled());

    Select({0, 2});
    ui.yesNoAnswers.push_back(true);
    frame->Execute(ID_DELETE_PALS);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b@x"}));
    EXPECT_EQ(Text(ID_EDIT_UNDO), QStringLiteral("元に戻す(&U): 2人を削除"));

    QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "b@x", "c@x"}));
    EXPECT_EQ(Text(ID_EDIT_REDO), QStringLiteral("やり直し(&R): 2人を削除"));
    QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b@x"}));
    QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(frame.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b@x"}));

    Select({0});
    ui.yesNoAnswers.push_back(true);
    frame->Execute(ID_DELETE_PALS);
    EXPECT_EQ(Text(ID_EDIT_UNDO), QStringLiteral("元に戻す(&U): 「ゆきうさぎ」を削除"));
}

TEST_F(HistoryTest, OpeningAnotherFileStartsANewHistory) {
    Start();
    Select({0});
    ui.yesNoAnswers.push_back(true);
    frame->Execute(ID_DELETE_PALS);
    ASSERT_TRUE(frame->Action(ID_EDIT_UNDO)->isEnabled());
    WriteFileBytes(dir / "other.ybf", PalFileBytes({Pal("z@x", "z")}));
    ASSERT_TRUE(frame->OpenFile(QString::fromStdString((dir / "other.ybf").string())));
    EXPECT_FALSE(frame->Action(ID_EDIT_UNDO)->isEnabled());
    EXPECT_EQ(Text(ID_EDIT_UNDO), QStringLiteral("元に戻す(&U)"));
}

TEST_F(HistoryTest, UndoAndRedoSitOnTheToolbarAfterOpenAndSave) {
    Start();
    const QList<QAction*> buttons = frame->MainToolBar()->actions();
    ASSERT_GE(buttons.size(), 6);
    EXPECT_TRUE(buttons[2]->isSeparator());
    EXPECT_EQ(buttons[3], frame->Action(ID_EDIT_UNDO));
    EXPECT_EQ(buttons[4], frame->Action(ID_EDIT_REDO));
}

TEST_F(HistoryTest, ANewerRecoveryCopyIsOfferedAndLoaded) {
    WriteFileBytes(dataFile, PalFileBytes(kPals));
    const fs::path copy = RecoveryFileFor(dataFile);
    ASSERT_TRUE(WriteRecoveryFile(copy, PalFileBytes({Pal("a@x", "あお"), Pal("new@x", "しん")})).ok);
    fs::last_write_time(copy, fs::file_time_type::clock::now() + std::chrono::minutes(1));
    ui.yesNoAnswers.push_back(true);
    Start();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "new@x"}));
    ASSERT_FALSE(ui.events.empty());
    EXPECT_EQ(ui.events[0], "question: 前回の変更が保存されていません。復元しますか？");

    // The close saves what was recovered and the copy goes.
    frame->close();
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_EQ(ReadFileBytes(dataFile), PalFileBytes({Pal("a@x", "あお"), Pal("new@x", "しん")}));
}

// A mailbox check that changes pals is one step of the history, named for its mails, and
// reaches the recovery copy like any other change.
TEST_F(HistoryTest, AMailboxCheckIsOneUndoableStepInTheRecoveryCopy) {
    qputenv("YUBINO_RECOVERY_DELAY_MS", "0");
    fs::create_directories(dir / "Maildir" / "new");
    for (int day : {1, 2, 3})
        WriteFileBytes(dir / "Maildir" / "new" / std::to_string(day),
                       std::string(day == 2 ? "From: C@X" : "From: a@x") +
                           "\nSubject: s\nDate: " + std::to_string(day) + " Mar 2024 10:00:00 +0900\nMessage-ID: <" +
                           std::to_string(day) + "@h>\n\nday " + std::to_string(day) + "\n");
    MailAccount maildir;
    maildir.name = "Maildir";
    maildir.kind = MailAccount::Kind::Maildir;
    maildir.path = (dir / "Maildir").string();
    ASSERT_TRUE(WriteMailAccounts(dir / "accounts.ini", {maildir}).ok);
    Start();
    frame->MailCheck()->SetAccountsFile(dir / "accounts.ini");
    QSignalSpy finished(frame->MailCheck(), &CMailCheckController::Finished);
    frame->MailCheck()->CheckAction()->trigger();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(Text(ID_EDIT_UNDO), QStringLiteral("元に戻す(&U): メール 3 通の取り込み"));

    // The copy written after the check holds the pals as the check left them.
    const fs::path copy = RecoveryFileFor(dataFile);
    auto copied = [&] {
        FakeUserInterface quiet;
        CYubinoApp read(quiet);
        CPenPal pal;
        return fs::exists(copy) && !ReadPalData(read, ReadFileBytes(copy)).LostData() &&
               read.FindPalByAddress("c@x", pal) && pal.m_strLastMailText == "day 2\b";
    };
    QTRY_VERIFY_WITH_TIMEOUT(copied(), 20000);

    frame->Action(ID_EDIT_UNDO)->trigger();
    CPenPal pal;
    ASSERT_TRUE(app.FindPalByAddress("a@x", pal));
    EXPECT_TRUE(pal.m_strLastMailText.empty());
    qunsetenv("YUBINO_RECOVERY_DELAY_MS");
}

// Two saves leave the file of before each as a backup.
void MakeBackups(CMainFrame& frame, CYubinoApp& app) {
    app.AddPal(Pal("d@x", "みどり"));
    ASSERT_TRUE(frame.Session().Save());
    app.AddPal(Pal("e@x", "あか"));
    ASSERT_TRUE(frame.Session().Save());
}

TEST_F(HistoryTest, RestoreShowsTheDifferencesAndIsOneUndoableStep) {
    Start();
    MakeBackups(*frame, app);
    const std::vector<std::string> now = {"a@x", "b@x", "c@x", "d@x", "e@x"};
    frame->UpdateListView();
    ASSERT_EQ(Rows(), now);
    QStringList listed;
    QString differences;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<CRestoreDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < dialog->List()->topLevelItemCount(); ++i)
            listed << dialog->List()->topLevelItem(i)->text(1);
        // The oldest: the file as it was loaded.
        dialog->List()->setCurrentItem(dialog->List()->topLevelItem(1));
        differences = dialog->Differences()->text();
        if (!qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR"))
            dialog->grab().save(QDir(qEnvironmentVariable("YUBINO_SCREENSHOT_DIR")).filePath("restore.png"));
        dialog->accept();
    });
    frame->Action(ID_RESTORE_BACKUP)->trigger();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("4"), QStringLiteral("3")}));
    EXPECT_EQ(differences, QStringLiteral("戻すと消える人: 2人（みどり、あか）"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "b@x", "c@x"}));
    EXPECT_EQ(Text(ID_EDIT_UNDO), QStringLiteral("元に戻す(&U): バックアップから復元"));
    frame->Action(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(Rows(), now);
}

// A file of another program in the folder of backups is never listed and is told of once.
TEST_F(HistoryTest, AStrangerAmongTheBackupsIsLeftOutAndToldOnce) {
    Start();
    MakeBackups(*frame, app);
    const fs::path folder = frame->Recovery().Backups().FolderFor(dataFile);
    WriteFileBytes(folder / "99999999-20991231-235959.ybf", "garbage");
    int listed = 0;
    for (int open = 0; open < 2; ++open) {
        WhenModalOpens([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<CRestoreDlg*>(modal)) listed = dialog->List()->topLevelItemCount();
            static_cast<QDialog*>(modal)->reject();
        });
        frame->Action(ID_RESTORE_BACKUP)->trigger();
    }
    EXPECT_EQ(listed, 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Yubino が書いたものではない"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(folder / "99999999-20991231-235959.ybf"), "garbage");
}

TEST_F(HistoryTest, ABackupRemovedWhileListedIsToldAndChangesNothing) {
    Start();
    MakeBackups(*frame, app);
    frame->UpdateListView();
    const std::vector<std::string> before = Rows();
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<CRestoreDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        fs::remove(dialog->ChosenFile());
        dialog->accept();
    });
    frame->Action(ID_RESTORE_BACKUP)->trigger();
    EXPECT_EQ(Rows(), before);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("復元できません"), std::string::npos);
    EXPECT_FALSE(Text(ID_EDIT_UNDO).contains(QStringLiteral("復元")));
}

// The Edit menu for the documentation, open after a delete.
TEST_F(HistoryTest, EditMenuScreenshot) {
    if (qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR")) GTEST_SKIP() << "YUBINO_SCREENSHOT_DIR not set";
    Start();
    Select({1});
    ui.yesNoAnswers.push_back(true);
    frame->Execute(ID_DELETE_PALS);
    QMenu* edit = frame->menuBar()->actions()[1]->menu();
    edit->resize(edit->sizeHint());
    QPixmap picture = frame->grab();
    QPainter painter(&picture);
    QMenuBar* bar = frame->menuBar();
    painter.drawPixmap(bar->mapTo(frame.get(), bar->actionGeometry(bar->actions()[1]).bottomLeft()), edit->grab());
    painter.end();
    EXPECT_TRUE(picture.save(QDir(qEnvironmentVariable("YUBINO_SCREENSHOT_DIR")).filePath("edit-menu.png")));
}

}  // namespace
