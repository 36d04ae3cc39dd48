#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QWhatsThis>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/file_lock.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "modal.h"
#include "support/temp_dir.h"
#include "ui/main/command_ids.h"
#include "ui/main/mail_edit_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"
#include "ui/map/map_view.h"
#include "main_window_fixture.h"

namespace fs = std::filesystem;

namespace {

using namespace main_window_fixture;

TEST_F(MainWindowTest, StartsOnTheFileTheSettingsFileNames) {
    StartWith(kFourPals);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("friends.ybf - Yubino"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "b@x", "c@x", "d@x"}));
    EXPECT_EQ(MailPane(), QStringLiteral("最後に受け取ったメールの文章"));
    EXPECT_EQ(List().ViewMode(), kDetails);
    EXPECT_TRUE(app.m_bListAllPals);
    EXPECT_TRUE(app.m_bMapAllPals);
    EXPECT_EQ(app.m_strCurrentMap, Sjis("関東"));
    EXPECT_EQ(frame->MapCombo()->currentText(), QStringLiteral("関東"));
    EXPECT_EQ(frame->MapCombo()->count(), 9);
}

TEST_F(MainWindowTest, ShowsSixColumnsWithTheirTitlesWidthsAndCells) {
    StartWith(kFourPals);
    const QStringList titles = {"ﾊﾝﾄﾞﾙﾈｰﾑ", "名前", "性別", "年齢", "ﾒｰﾙｱﾄﾞﾚｽ", "マップ"};
    const int widths[] = {100, 100, 40, 40, 150, 50};
    QHeaderView* header = List().DetailsView().header();
    ASSERT_EQ(List().Model().columnCount(), 6);
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(List().Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(), titles[column]);
        EXPECT_EQ(header->sectionSize(column), widths[column]) << column;
    }
    const QModelIndex age = List().Model().index(1, 3);
    EXPECT_EQ(age.data().toString(), QStringLiteral("１０"));
    EXPECT_EQ(List().Model().index(1, 5).data().toString(), QStringLiteral("九州"));
    EXPECT_FALSE(List().Model().index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(MainWindowTest, StartsOnTheBundledSampleWhenTheSettingsFileNamesNone) {
    TempDir program;
    WriteFileBytes(program / "bundled.ybf", PalFileBytes({kFourPals[0], kFourPals[1]}));
    Start(program / "bundled.ybf");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "b@x"}));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("サンプル.ybf - Yubino"));
    EXPECT_EQ(ReadFileBytes(dir / "サンプル.ybf"), ReadFileBytes(program / "bundled.ybf"));
    EXPECT_TRUE(fs::exists(dir / "yubino.cfg"));
}

TEST_F(MainWindowTest, StartsEmptyOnACreatedSampleWithoutABundledOne) {
    Start();
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(fs::exists(dir / "サンプル.ybf"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindowTest, FourViewModesShareOneModelAndSelection) {
    StartWith(kFourPals);
    SelectRows({1});
    struct Row {
        int command;
        int mode;
        QListView::ViewMode listMode;
        int iconSize;
    } rows[] = {
        {ID_VIEW_LARGE_ICONS, kLargeIcons, QListView::IconMode, 48},
        {ID_VIEW_SMALL_ICONS, kSmallIcons, QListView::ListMode, 24},
        {ID_VIEW_LIST, kListMode, QListView::ListMode, 24},
    };
    for (const Row& row : rows) {
        frame->Execute(row.command);
        EXPECT_EQ(List().ViewMode(), row.mode);
        EXPECT_TRUE(frame->Action(row.command)->isChecked());
        EXPECT_TRUE(List().IconView().isVisible());
        EXPECT_FALSE(List().DetailsView().isVisible());
        EXPECT_EQ(List().IconView().viewMode(), row.listMode);
        EXPECT_EQ(List().IconView().iconSize(), QSize(row.iconSize, row.iconSize));
        EXPECT_EQ(List().SelectedAddresses(), (std::vector<std::string>{"b@x"})) << "mode " << row.mode;
    }
    EXPECT_EQ(List().IconView().flow(), QListView::TopToBottom);  // the list form
    frame->Execute(ID_VIEW_DETAILS);
    EXPECT_TRUE(List().DetailsView().isVisible());
    EXPECT_FALSE(frame->Action(ID_VIEW_LIST)->isChecked());
    EXPECT_EQ(List().IconView().model(), List().DetailsView().model());
    EXPECT_EQ(List().IconView().selectionModel(), List().DetailsView().selectionModel());
}

TEST_F(MainWindowTest, MapFilterListsThePalsOfTheMapChosenInTheMapBar) {
    StartWith(kFourPals);
    frame->Execute(ID_LIST_MAP_PALS);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "c@x"}));
    EXPECT_TRUE(frame->Action(ID_LIST_MAP_PALS)->isChecked());
    EXPECT_FALSE(frame->Action(ID_LIST_ALL_PALS)->isChecked());

    frame->MapCombo()->setCurrentIndex(7);  // 九州
    EXPECT_EQ(app.m_nCurrentMap, 7);
    EXPECT_EQ(app.m_strCurrentMap, Sjis("九州"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b@x"}));

    frame->Execute(ID_LIST_ALL_PALS);
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_TRUE(frame->Action(ID_LIST_ALL_PALS)->isChecked());
}

TEST_F(MainWindowTest, HeaderClicksSortTheTableWithOneFlippingDirection) {
    StartWith(kFourPals);
    ClickHeader(3);  // ages ascending as text: "１０" < "２" < "３" < "４"
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b@x", "a@x", "c@x", "d@x"}));
    ClickHeader(0);  // handle names, now descending
    EXPECT_EQ(Rows(), (std::vector<std::string>{"d@x", "c@x", "b@x", "a@x"}));
    ClickHeader(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "b@x", "c@x", "d@x"}));
    ASSERT_EQ(app.GetPalCount(), 4);
    EXPECT_EQ(app.Pals().front().m_strMailAddress, "a@x");  // the table itself is in that order
}

TEST_F(MainWindowTest, OneSelectedRowShowsItsMailTwoEmptyThePane) {
    StartWith(kFourPals);
    SelectRows({0});
    EXPECT_EQ(MailPane(), QStringLiteral("Hello\nWorld"));
    SelectRows({0, 1});
    EXPECT_EQ(MailPane(), QString());
    SelectRows({1});
    EXPECT_EQ(MailPane(), QStringLiteral("From Bun"));
}

// The enabled state of each command in a menu and its submenus.
std::map<int, bool> MenuStates(QMenu& menu) {
    std::map<int, bool> states;
    for (QAction* action : menu.actions()) {
        if (action->menu())
            states.merge(MenuStates(*action->menu()));
        else if (!action->isSeparator())
            states[action->data().toInt()] = action->isEnabled();
    }
    return states;
}

TEST_F(MainWindowTest, ContextMenuGreysByTheSelection) {
    StartWith(kFourPals);
    struct Row {
        const char* name;
        std::initializer_list<int> selected;
        bool del, one, several, send;
    } rows[] = {
        {"no row", {}, false, false, false, false},
        {"one row", {2}, true, true, false, true},
        {"two rows", {0, 3}, true, false, true, true},
    };
    for (const Row& row : rows) {
        SelectRows(row.selected);
        std::unique_ptr<QMenu> menu(List().CreateContextMenu(nullptr));
        std::map<int, bool> states = MenuStates(*menu);
        EXPECT_EQ(states.size(), 8u);
        EXPECT_TRUE(states[ID_ADD_PAL]) << row.name;
        EXPECT_EQ(states[ID_DELETE_PALS], row.del) << row.name;
        EXPECT_EQ(states[ID_EDIT_PAL], row.one) << row.name;
        EXPECT_EQ(states[ID_EDIT_PALS], row.several) << row.name;
        EXPECT_EQ(states[ID_SEND_MAIL], row.send) << row.name;
        EXPECT_TRUE(states[ID_ADD_MAIL_TEXT] && states[ID_ANALYSIS]) << row.name;
        // The frame's commands follow the same rules; edit several stays enabled there.
        EXPECT_EQ(frame->Action(ID_EDIT_PAL)->isEnabled(), row.one) << row.name;
        EXPECT_EQ(frame->Action(ID_DELETE_PALS)->isEnabled(), row.del) << row.name;
        EXPECT_EQ(frame->Action(ID_SEND_MAIL)->isEnabled(), row.send) << row.name;
        EXPECT_TRUE(frame->Action(ID_EDIT_PALS)->isEnabled()) << row.name;
        // Placing from the residence needs a selection, like deleting.
        EXPECT_EQ(states[ID_PLACE_FROM_RESIDENCE], row.del) << row.name;
        EXPECT_EQ(frame->Action(ID_PLACE_FROM_RESIDENCE)->isEnabled(), row.del) << row.name;
    }
}

TEST_F(MainWindowTest, ContextMenuGreysAddWhenTheTableIsFull) {
    std::vector<CPenPal> pals;
    for (int i = 0; i < kMaxPals; ++i) {
        const std::string n = std::to_string(i);
        pals.push_back(Pal("p" + n + "@x", "P", "関東"));
    }
    StartWith(pals);
    ASSERT_EQ(List().Model().rowCount(), kMaxPals);
    std::unique_ptr<QMenu> menu(List().CreateContextMenu(nullptr));
    EXPECT_FALSE(MenuStates(*menu)[ID_ADD_PAL]);
    EXPECT_FALSE(frame->Action(ID_ADD_PAL)->isEnabled());
}

TEST_F(MainWindowTest, DeletingThreeRowsAsksOnceWithThree) {
    StartWith(kFourPals);
    SelectRows({0, 1, 3});
    ui.yesNoAnswers = {true};
    frame->Execute(ID_DELETE_PALS);
    // Two of them have mails in the archive: the second question is about those (No keeps them).
    EXPECT_EQ(ui.events, (std::vector<std::string>{"question:  3 名のメールフレンドを削除しますか？",
                                                   "question: " + std::string(texts::kDeleteMailsToo), "list", "map"}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"c@x"}));
}

void Drop(QWidget& target, QMimeData& data) {
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &drop);
    QApplication::sendPostedEvents();  // the mail is taken in after the drop has ended
}

TEST_F(MainWindowTest, DroppedMailTextUpdatesAKnownPal) {
    StartWith(kFourPals);
    QMimeData data;
    data.setText(
        QStringLiteral("送信者: \"Bun\" <b@x>\n宛先: me@x\n件名: やあ\n日時: 2002年5月3日 10:00\n\n新しい便り\n"));
    Drop(List(), data);
    CPenPal pal;
    ASSERT_EQ(app.FindPalByAddress("b@x", pal), 1);
    EXPECT_NE(Utf8(pal.m_strLastMailText).find("新しい便り"), std::string::npos);
    EXPECT_EQ(pal.m_dtLastMail, COleDateTime(2002, 5, 3));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Bun さんのデータを更新しました");
}

TEST_F(MainWindowTest, TextThatCodePage932LacksIsReplacedWithANote) {
    StartWith(kFourPals);
    QMimeData data;
    data.setText(
        QStringLiteral("送信者: \"Bun\" <b@x>\n宛先: me@x\n件名: やあ\n日時: 2002年5月3日 10:00\n\n😀 smile\n"));
    Drop(List(), data);
    ASSERT_GE(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Information);
    CPenPal pal;
    app.FindPalByAddress("b@x", pal);
    EXPECT_NE(Utf8(pal.m_strLastMailText).find("? smile"), std::string::npos);
}

TEST_F(MainWindowTest, HugeOrForeignTextsAreToldAndChangeNothing) {
    StartWith(kFourPals);
    struct Row {
        const char* name;
        QString text;
    } rows[] = {
        {"no mail", QStringLiteral("ただのメモです")},
        {"ten mebibytes of no mail", QString(10 * 1024 * 1024, QLatin1Char('x'))},
    };
    for (const Row& row : rows) {
        ui.messages.clear();
        QMimeData data;
        data.setText(row.text);
        Drop(List(), data);
        EXPECT_EQ(ui.messages.size(), 1u) << row.name;
        EXPECT_EQ(ui.messages.front().kind, MessageKind::Warning) << row.name;
        EXPECT_EQ(Rows().size(), 4u) << row.name;
    }
}

TEST_F(MainWindowTest, DataWithoutTextIsNotAccepted) {
    StartWith(kFourPals);
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.com/a.png"))});
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&List(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&List(), &drop);
    QApplication::sendPostedEvents();
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(MainWindowTest, ClosingWritesTheSettingsFileThenTheDataFile) {
    StartWith(kFourPals);
    SelectRows({3});
    ui.yesNoAnswers = {true};
    frame->Execute(ID_DELETE_PALS);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), dataFile.string());  // no line end
    EXPECT_EQ(ReadFileBytes(dataFile), PalFileBytes({kFourPals[0], kFourPals[1], kFourPals[2]}));
}

TEST_F(MainWindowTest, SaveAsMakesTheNewFileTheOneSavedOnClose) {
    StartWith(kFourPals);
    const fs::path other = dir / "other.ybf";
    EXPECT_TRUE(frame->SaveAs(QString::fromStdString(other.string())));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("other.ybf - Yubino"));
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), other.string());
}

TEST_F(MainWindowTest, AFileThatCannotBeWrittenKeepsTheWindowOpenUntilTheUserDecides) {
    StartWith(kFourPals);
    frame->Session().Doc().SetPathName(dir / "gone" / "friends.ybf");
    frame->SetChooseSaveFile([] { return fs::path(); });
    ui.yesNoAnswers = {true, false};  // save elsewhere: cancelled; close without saving: no
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());

    const fs::path elsewhere = dir / "elsewhere.ybf";
    frame->SetChooseSaveFile([&] { return elsewhere; });
    ui.yesNoAnswers = {true};
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(elsewhere), PalFileBytes(kFourPals));
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), elsewhere.string());
}

TEST_F(MainWindowTest, AFileAnotherWindowHoldsIsReadOnlyInTheTitleAndNeverWritten) {
    WriteFileBytes(dataFile, PalFileBytes(kFourPals));
    CFileLock otherWindow;
    ASSERT_EQ(otherWindow.Acquire(dataFile), CFileLock::Result::Locked);
    StartWith(kFourPals);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("friends.ybf [読み取り専用] - Yubino"));
    // The other window saves; this one closes unchanged, asking nothing and writing nothing.
    WriteFileBytes(dataFile, PalFileBytes({kFourPals[0]}));
    frame->Execute(ID_FILE_SAVE);
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(dataFile), PalFileBytes({kFourPals[0]}));
    for (const std::string& event : ui.events) EXPECT_FALSE(event.starts_with("question")) << event;
}

TEST_F(MainWindowTest, OpeningAForeignFileLeavesEverythingAsItWas) {
    StartWith(kFourPals);
    WriteFileBytes(dir / "foreign.ybf", "not a pal data file at all");
    EXPECT_FALSE(frame->OpenFile(QString::fromStdString((dir / "foreign.ybf").string())));
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("friends.ybf - Yubino"));
    EXPECT_FALSE(ui.messages.empty());
}

TEST_F(MainWindowTest, APhotoStoredWithAWindowsPathIsFoundBesideTheDataFile) {
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(QString::fromStdString((dir / "ソフト.png").string())));
    CPenPal pal = Pal("p@x", "Pic", "関東");
    pal.m_bUsePicture = 1;
    pal.m_strPictureFile = Sjis("C:\\My Documents\\ソフト.png");
    StartWith({pal});
    EXPECT_EQ(app.m_dataFolder, dataFile.parent_path());
    ASSERT_NE(frame->Pictures().FindPicture(pal.m_strPictureFile), nullptr);
    EXPECT_EQ(frame->Pictures().FindPicture(pal.m_strPictureFile)->m_nWidth, 40);
}

TEST_F(MainWindowTest, DeleteAndEnterInTheListDeleteAndEditAsTheCommandsDo) {
    StartWith(kFourPals);
    QTreeView& details = List().DetailsView();
    SelectRows({1, 2});
    ui.yesNoAnswers = {true};
    QTest::keyClick(&details, Qt::Key_Delete);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a@x", "d@x"}));
    ASSERT_FALSE(ui.events.empty());
    EXPECT_EQ(ui.events.front(), "question: " + Utf8(FormatText(texts::kDeleteQuestion, 2)));

    ui.events.clear();
    List().Selection().setCurrentIndex(List().Model().index(1, 0), QItemSelectionModel::ClearAndSelect);
    ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) { return pal.m_strMailAddress == "d@x"; });
    QTest::keyClick(&details, Qt::Key_Return);
    EXPECT_TRUE(ui.palDialogs.empty()) << "Enter opened no pal dialog";

    QTest::keyClick(&details, Qt::Key_Delete, Qt::ShiftModifier);  // not a key of the list
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(MainWindowTest, CtrlPPrintsTheListOnlyWhileTheListIsTheActivePane) {
    StartWith(kFourPals);
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
    int asked = 0;
    frame->SetChoosePrinter([&](QPrinter& printer, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((dir / "list.pdf").string()));
        return true;
    });
    frame->GetMapView()->setFocus();
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(asked, 0) << "the map pane does not print";

    QTest::keyClick(frame.get(), Qt::Key_F6, Qt::ShiftModifier);  // the list, before the map
    ASSERT_TRUE(List().isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(ReadFileBytes(dir / "list.pdf").starts_with("%PDF"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindowTest, ShiftF1TellsWhatACommandOrAPaneIsFor) {
    Start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
    QTest::keyClick(frame.get(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(frame->Action(ID_ANALYSIS)->whatsThis(), frame->Action(ID_ANALYSIS)->statusTip());
    EXPECT_FALSE(frame->Action(ID_ANALYSIS)->whatsThis().isEmpty());
    EXPECT_EQ(frame->GetMapView()->whatsThis(), QString::fromUtf8(texts::kMapPaneHelp));
    EXPECT_EQ(List().whatsThis(), QString::fromUtf8(texts::kListPaneHelp));
}

TEST_F(MainWindowTest, ToolbarHoldsFifteenButtonsInOrderWithTooltips) {
    Start();
    std::vector<int> ids;
    for (QAction* action : frame->MainToolBar()->actions())
        ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
    EXPECT_EQ(ids, (std::vector<int>{ID_FILE_OPEN,
                                     ID_FILE_SAVE_AS,
                                     0,
                                     ID_EDIT_UNDO,
                                     ID_EDIT_REDO,
                                     0,
                                     ID_LIST_ALL_PALS,
                                     ID_LIST_MAP_PALS,
                                     0,
                                     ID_MAP_ALL_PALS,
                                     ID_MAP_SELECTED_PALS,
                                     0,
                                     ID_ADD_PAL,
                                     ID_EDIT_PAL,
                                     ID_DELETE_PALS,
                                     ID_ADD_MAIL_TEXT,
                                     0,
                                     ID_ANALYSIS,
                                     ID_SEND_MAIL,
                                     0,
                                     ID_APP_ABOUT,
                                     0,
                                     ID_VIEW_REPLY_QUEUE,
                                     0 /* the search field */}));
    EXPECT_EQ(frame->Action(ID_APP_ABOUT)->toolTip(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(frame->Action(ID_FILE_SAVE_AS)->toolTip(), QStringLiteral("ﾒｰﾙﾌﾚﾝﾄﾞﾃﾞｰﾀを保存"));
}

TEST_F(MainWindowTest, AnalysisAndImportOpenTheirDialogsFromMenuAndList) {
    StartWith(kFourPals);
    WriteFileBytes(dir / "book.csv", Sjis("表示名,電子メール アドレス\r\n新人,new@x\r\n"));
    frame->SetChooseCsvFile([&](QWidget*, const QString&) { return std::optional<fs::path>(dir / "book.csv"); });
    std::vector<std::string> opened;
    auto closeNextDialog = [&] {
        WhenModalOpens([&](QWidget* modal) {
            opened.push_back(modal->windowTitle().toStdString());
            static_cast<QDialog*>(modal)->reject();
        });
    };
    closeNextDialog();
    frame->Action(ID_ANALYSIS)->trigger();
    closeNextDialog();
    frame->Action(ID_IMPORT_CSV)->trigger();
    closeNextDialog();
    emit List().CommandRequested(ID_ANALYSIS);  // the list's context menu
    EXPECT_EQ(opened, (std::vector<std::string>{texts::kAnalysisTitle, texts::kImportSelectTitle, texts::kAnalysisTitle}));
    EXPECT_EQ(app.GetPalCount(), 4) << "a cancelled import adds nobody";
}

TEST_F(MainWindowTest, MapBarToggleHidesAndShowsTheBar) {
    Start();
    QAction* toggle = frame->Action(ID_VIEW_MAP_BAR);
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(frame->MapBar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(app.m_strCurrentMap, Sjis("関東"));  // the map last applied stays
    toggle->trigger();
    EXPECT_TRUE(frame->MapBar()->isVisible());
}

}  // namespace
