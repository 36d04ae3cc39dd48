// What users expect of a desktop window: it comes back as it was left, the File menu
// knows the files opened last, a status bar counts, and every key is shown in a menu.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QSplitter>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

#include "main_window_fixture.h"
#include "modal.h"
#include "ui/main/command_ids.h"
#include "ui/main/reply_queue_pane.h"
#include "ui/map/map_view.h"

namespace fs = std::filesystem;

namespace {

using namespace main_window_fixture;

class MainWindowConventionsTest : public MainWindowTest {
protected:
    // A run of the program: the window reads the state file before it shows.
    void Run() {
        frame = std::make_unique<CMainFrame>(app, nullptr, Paths());
        ui.host = frame.get();
        frame->LoadWindowState(stateFile);
        frame->show();
        frame->Start();
    }
    QString StatusLabel(const char* name) { return frame->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    QHeaderView& Header() { return *List().DetailsView().header(); }
    std::vector<QString> RecentEntries() {
        std::vector<QString> entries;
        for (QAction* action : frame->RecentFilesMenu()->actions()) entries.push_back(action->text());
        return entries;
    }
    fs::path stateFile = dir / "state" / "yubino" / "window-state";
};

TEST_F(MainWindowConventionsTest, TheWindowComesBackAsItWasLeft) {
    WriteFileBytes(dataFile, PalFileBytes(kFourPals));
    WriteFileBytes(dir / "yubino.cfg", dataFile.string());
    Run();
    frame->resize(760, 550);  // within the test screen's 800 x 600
    frame->findChild<QSplitter*>()->setSizes({300, 450});
    Header().resizeSection(1, 133);
    ClickHeader(3);
    ClickHeader(3);  // descending
    frame->MapCombo()->setCurrentIndex(7);
    frame->Execute(ID_VIEW_SMALL_ICONS);
    frame->Action(ID_VIEW_REPLY_QUEUE)->trigger();
    frame->QueuePane()->SetCurrentTab(1);
    frame->QueuePane()->QuietList()->sortByColumn(0, Qt::AscendingOrder);
    const QList<int> split = frame->findChild<QSplitter*>()->sizes();
    ASSERT_TRUE(frame->close());
    frame.reset();

    Run();
    EXPECT_EQ(frame->size(), QSize(760, 550));
    EXPECT_EQ(frame->findChild<QSplitter*>()->sizes(), split);
    EXPECT_EQ(List().ViewMode(), kSmallIcons);
    EXPECT_TRUE(frame->Action(ID_VIEW_SMALL_ICONS)->isChecked());
    EXPECT_EQ(Header().sectionSize(1), 133);
    EXPECT_TRUE(Header().isSortIndicatorShown());
    EXPECT_EQ(Header().sortIndicatorSection(), 3);
    EXPECT_EQ(Header().sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(frame->MapCombo()->currentIndex(), 7);
    EXPECT_EQ(app.m_nCurrentMap, 7);
    EXPECT_TRUE(frame->QueuePane()->isVisible());
    EXPECT_EQ(frame->QueuePane()->CurrentTab(), 1);
    EXPECT_EQ(frame->QueuePane()->WaitingList()->header()->sortIndicatorSection(), 0);
    EXPECT_EQ(frame->QueuePane()->WaitingList()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    // The settings file keeps its one line: the data file.
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), dataFile.string());
    ClickHeader(3);  // the next click turns the remembered sort round
    EXPECT_EQ(Header().sortIndicatorOrder(), Qt::AscendingOrder);
}

// A size saved on a larger screen (or at another scale) comes back within this one.
TEST_F(MainWindowConventionsTest, ASavedSizeLargerThanTheScreenIsFittedToIt) {
    Run();
    frame->resize(5000, 4000);
    frame->move(-300, -200);
    ASSERT_TRUE(frame->close());
    frame.reset();
    Run();
    const QRect free = frame->screen()->availableGeometry();
    EXPECT_TRUE(free.contains(frame->frameGeometry()))
        << frame->frameGeometry().width() << "x" << frame->frameGeometry().height() << " on " << free.width() << "x"
        << free.height();
}

TEST_F(MainWindowConventionsTest, ADamagedStateFileGivesTheDefaults) {
    fs::create_directories(stateFile.parent_path());
    WriteFileBytes(stateFile, "view-mode=banana\nmain-split=0,0\ncolumns=-4\nmap=99\n\xff\xfe");
    Run();
    EXPECT_EQ(List().ViewMode(), kDetails);
    EXPECT_EQ(frame->MapCombo()->currentIndex(), 2);
    EXPECT_EQ(Header().sectionSize(0), 100);
    EXPECT_FALSE(Header().isSortIndicatorShown());
}

TEST_F(MainWindowConventionsTest, TheFileMenuOffersTheFilesOpenedLastLastFirst) {
    StartWith(kFourPals);
    frame->LoadWindowState(stateFile);
    for (const char* name : {"a.ybf", "b.ybf", "c.ybf"}) {
        WriteFileBytes(dir / name, PalFileBytes({kFourPals[0]}));
        ASSERT_TRUE(frame->OpenFile(QString::fromStdString((dir / name).string())));
    }
    EXPECT_EQ(RecentEntries(), (std::vector<QString>{"&1 c.ybf", "&2 b.ybf", "&3 a.ybf"}));
    frame->RecentFilesMenu()->actions()[2]->trigger();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("a.ybf - Yubino"));
    EXPECT_EQ(RecentEntries(), (std::vector<QString>{"&1 a.ybf", "&2 c.ybf", "&3 b.ybf"}));
    ASSERT_TRUE(frame->close());
    frame.reset();
    Run();
    EXPECT_EQ(RecentEntries().front(), QStringLiteral("&1 a.ybf")) << "remembered between runs";
}

TEST_F(MainWindowConventionsTest, TheStatusBarCountsPalsListedAndSelectedAndNamesTheFile) {
    StartWith(kFourPals);
    const struct {
        const char* name;
        std::function<void()> act;
        const char* counts;
    } rows[] = {
        {"all listed", [] {}, "ﾒｰﾙﾌﾚﾝﾄﾞ 4 人  表示 4 人  選択 0 人"},
        {"two selected", [&] { SelectRows({0, 2}); }, "ﾒｰﾙﾌﾚﾝﾄﾞ 4 人  表示 4 人  選択 2 人"},
        {"only the map's pals", [&] { frame->Execute(ID_LIST_MAP_PALS); }, "ﾒｰﾙﾌﾚﾝﾄﾞ 4 人  表示 2 人  選択 0 人"},
    };
    for (const auto& row : rows) {
        row.act();
        EXPECT_EQ(StatusLabel("statusCounts"), QString::fromUtf8(row.counts)) << row.name;
    }
    EXPECT_EQ(StatusLabel("statusFile"), QStringLiteral("friends.ybf"));
    ASSERT_TRUE(frame->SaveAs(QString::fromStdString((dir / "other.ybf").string())));
    EXPECT_EQ(StatusLabel("statusFile"), QStringLiteral("other.ybf"));
}

// Every command in the menus, with its submenus.
void CollectMenuActions(QMenu& menu, std::vector<QAction*>& out) {
    for (QAction* action : menu.actions()) {
        if (action->menu())
            CollectMenuActions(*action->menu(), out);
        else if (!action->isSeparator())
            out.push_back(action);
    }
}

TEST_F(MainWindowConventionsTest, EveryKeyOfTheWindowIsShownBesideAMenuCommand) {
    Start();
    std::vector<QAction*> menuActions;
    for (QAction* top : frame->menuBar()->actions()) CollectMenuActions(*top->menu(), menuActions);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_P),
          QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F1),
          QKeySequence(Qt::SHIFT | Qt::Key_F1), QKeySequence(Qt::Key_Delete)}) {
        const bool shown = std::any_of(menuActions.begin(), menuActions.end(),
                                       [&](QAction* action) { return action->shortcut() == key; });
        EXPECT_TRUE(shown) << key.toString().toStdString();
    }
    for (QAction* action : menuActions) EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();
}

// The letter after "&" in a menu text; none for a text without one.
QChar AccessKey(const QString& text) {
    for (qsizetype i = text.indexOf(QLatin1Char('&')); i >= 0 && i + 1 < text.size();
         i = text.indexOf(QLatin1Char('&'), i + 2))
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toUpper();
    return {};
}

// Items that share a key are reached by pressing it again, as the View menu's two "M"s are.
void ExpectAccessKeys(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || action->text().isEmpty()) continue;
        EXPECT_FALSE(AccessKey(action->text()).isNull())
            << action->text().toStdString() << " in " << menu.title().toStdString();
        if (action->menu()) ExpectAccessKeys(*action->menu());
    }
}

TEST_F(MainWindowConventionsTest, EveryMenuItemHasAnAccessKey) {
    StartWith(kFourPals);
    SelectRows({0});
    ui.yesNoAnswers.push_back(true);
    frame->Execute(ID_DELETE_PALS);  // an undo step: the Edit menu's items name it
    for (QAction* top : frame->menuBar()->actions()) {
        EXPECT_FALSE(AccessKey(top->text()).isNull()) << top->text().toStdString();
        ExpectAccessKeys(*top->menu());
    }
}

TEST_F(MainWindowConventionsTest, PrintPreviewShowsTheListWhileItIsTheActivePane) {
    StartWith(kFourPals);
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
    frame->GetMapView()->setFocus();
    EXPECT_FALSE(frame->Action(ID_FILE_PRINT_PREVIEW)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_FILE_PRINT)->isEnabled());
    List().DetailsView().setFocus();
    ASSERT_TRUE(frame->Action(ID_FILE_PRINT_PREVIEW)->isEnabled());
    bool previewed = false;
    WhenModalOpens([&](QWidget* modal) {
        previewed = qobject_cast<QPrintPreviewDialog*>(modal) != nullptr;
        static_cast<QDialog*>(modal)->reject();
    });
    frame->Action(ID_FILE_PRINT_PREVIEW)->trigger();
    EXPECT_TRUE(previewed);
}

}  // namespace
