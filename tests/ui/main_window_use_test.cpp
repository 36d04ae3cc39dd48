// The main window as a user meets it: every list form usable, the map and the mail pane
// in step with the list after any change of the table, and the hand-offs to the desktop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>
#include <functional>

#include "core/cp932.h"
#include "core/texts.h"
#include "mail/mail_link.h"
#include "mail/reply_link.h"
#include "main_window_fixture.h"
#include "modal.h"
#include "stand_in_opener.h"
#include "ui/main/command_ids.h"
#include "ui/main/pal_icon_delegate.h"
#include "ui/map/map_view.h"
#include "ui/qt_user_interface.h"

namespace fs = std::filesystem;

namespace {

using namespace main_window_fixture;

class MainWindowUseTest : public MainWindowTest {
protected:
    // Makes `row` the current and only selected row, as a click does.
    void SelectRow(int row) {
        List().Selection().setCurrentIndex(List().Model().index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    int RowOf(const std::string& address) {
        const std::vector<std::string> rows = Rows();
        return static_cast<int>(std::find(rows.begin(), rows.end(), address) - rows.begin());
    }
    std::vector<std::string> MapPals() {
        std::vector<std::string> pals;
        const CMapIconSlots& icons = frame->GetMapView()->IconSlots();
        for (int i = 0; i < icons.Count(); ++i) pals.push_back(icons.Slot(i).strMailAddress);
        return pals;
    }
    // Lets the item views lay their rows out, as they do after the event loop has run.
    void Settle() {
        QApplication::processEvents();
        QTest::qWait(20);
    }
    std::string Message(const char* text) { return Utf8(Cp932Text(text)); }
};

TEST_F(MainWindowUseTest, EveryListFormShowsEveryRowWhereAClickSelectsIt) {
    StartWith(kFourPals);
    frame->resize(900, 700);
    const struct {
        const char* name;
        int command;
        int labelWidth;  // at least: a name is shortened at its cell's edge, not before
    } forms[] = {
        {"large icons", ID_VIEW_LARGE_ICONS, 88},
        {"small icons", ID_VIEW_SMALL_ICONS, 150},
        {"list", ID_VIEW_LIST, 0},
        {"details", ID_VIEW_DETAILS, 0},
    };
    for (const auto& form : forms) {
        frame->Execute(form.command);
        Settle();
        QAbstractItemView& view = List().ActiveView();
        for (int row = 0; row < List().Model().rowCount(); ++row) {
            const QRect rect = view.visualRect(List().Model().index(row, 0));
            ASSERT_FALSE(rect.isEmpty()) << form.name << " row " << row;
            EXPECT_GE(rect.width(), form.labelWidth) << form.name << " row " << row;
            ASSERT_TRUE(view.viewport()->rect().contains(rect.center())) << form.name << " row " << row;
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
            EXPECT_EQ(List().SelectedAddresses(), std::vector<std::string>{Rows()[static_cast<std::size_t>(row)]})
                << form.name << " row " << row;
        }
    }
}

TEST_F(MainWindowUseTest, LargeIconLabelsShowTheWholeNameInTwoLinesElidedAfter) {
    const QFont font = QApplication::font();
    const int width = 88;
    const int perLine = width / QFontMetrics(font).horizontalAdvance(QStringLiteral("あ"));
    ASSERT_GE(perLine, 3);
    const struct {
        const char* name;
        QString text;
        qsizetype lines;
        bool whole;
    } rows[] = {
        {"one line", QString(perLine - 1, QChar(u'あ')), 1, true},
        {"two lines", QString(perLine + 2, QChar(u'あ')), 2, true},
        {"longer than two lines", QString(perLine * 3, QChar(u'あ')), 2, false},
        {"latin words", QStringLiteral("Aki Yamada"), 1, true},
    };
    for (const auto& row : rows) {
        const QStringList lines = IconLabelLines(row.text, font, width);
        EXPECT_EQ(lines.size(), row.lines) << row.name;
        EXPECT_EQ(lines.join(QString()) == row.text, row.whole) << row.name;
        if (!row.whole) {
            EXPECT_TRUE(lines.back().endsWith(QChar(0x2026))) << row.name;
        }
        for (const QString& line : lines) EXPECT_LE(QFontMetrics(font).horizontalAdvance(line), width) << row.name;
    }

    StartWith(kFourPals);
    frame->Execute(ID_VIEW_LARGE_ICONS);
    Settle();
    const QRect cell = List().IconView().visualRect(List().Model().index(0, 0));
    EXPECT_GE(cell.width(), width) << "the label has the cell's width, not the icon's";
    EXPECT_GE(cell.height(), 48 + 2 * QFontMetrics(List().IconView().font()).lineSpacing());
}

TEST_F(MainWindowUseTest, TheMapOfSelectedPalsFollowsTheSelectionAfterEveryRefill) {
    StartWith(kFourPals);
    frame->Execute(ID_MAP_SELECTED_PALS);
    const struct {
        const char* name;
        std::function<void()> refill;
    } refills[] = {
        {"edit the pal",
         [&] {
             ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) {
                 pal.m_strName = "edited";
                 return true;
             });
             frame->Execute(ID_EDIT_PAL);
         }},
        {"take in a mail from the clipboard",
         [&] {
             ui.clipboardText = "new mail";
             ui.mailTextDialogs.push_back([](std::string&, COleDateTime&) { return true; });
             ui.choosePalDialogs.push_back([](std::string& address) {
                 address = "a@x";
                 return true;
             });
             frame->Execute(ID_ADD_MAIL_TEXT);
         }},
        {"delete another pal",
         [&] {
             SelectRow(RowOf("d@x"));
             ui.yesNoAnswers = {true};
             frame->Execute(ID_DELETE_PALS);
         }},
        {"sort by a header", [&] { ClickHeader(1); }},
    };
    for (const auto& refill : refills) {
        SelectRow(RowOf("a@x"));
        ASSERT_EQ(MapPals(), std::vector<std::string>{"a@x"}) << refill.name;
        refill.refill();
        EXPECT_TRUE(List().SelectedAddresses().empty()) << refill.name;
        EXPECT_TRUE(MapPals().empty()) << refill.name << ": the map shows a pal no longer selected";
        SelectRow(RowOf("a@x"));
        EXPECT_EQ(MapPals(), std::vector<std::string>{"a@x"}) << refill.name << ": the map stopped following";
    }
}

TEST_F(MainWindowUseTest, AMapChosenWithTheListFilterOnIsDrawnWithItsPals) {
    StartWith(kFourPals);
    frame->Execute(ID_LIST_MAP_PALS);
    EXPECT_EQ(MapPals(), (std::vector<std::string>{"a@x", "c@x"}));
    frame->MapCombo()->setCurrentIndex(7);  // 九州
    EXPECT_EQ(Rows(), std::vector<std::string>{"b@x"});
    EXPECT_EQ(MapPals(), std::vector<std::string>{"b@x"});
}

TEST_F(MainWindowUseTest, ARightDoubleClickSendsMailAndOpensNoMenu) {
    StartWith(kFourPals);
    QWidget* viewport = List().DetailsView().viewport();
    const QPoint point = List().DetailsView().visualRect(List().Model().index(1, 0)).center();
    auto send = [&](QEvent::Type type) {
        QMouseEvent event(type, point, viewport->mapToGlobal(point), Qt::RightButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    const struct {
        const char* name;
        std::vector<QEvent::Type> events;
        bool menu;
        std::size_t mails;
    } rows[] = {
        {"a right click opens the menu", {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}, true, 0},
        {"a right double-click only sends mail",
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
          QEvent::MouseButtonRelease},
         false,
         1},
    };
    for (const auto& row : rows) {
        ui.shellTargets.clear();
        for (QEvent::Type type : row.events) send(type);
        QTest::qWait(QApplication::doubleClickInterval() + 150);
        QWidget* menu = QApplication::activePopupWidget();
        EXPECT_EQ(menu != nullptr, row.menu) << row.name;
        if (menu) menu->close();
        EXPECT_EQ(ui.shellTargets.size(), row.mails) << row.name;
    }
}

TEST_F(MainWindowUseTest, TheMailPaneEmptiesWhenItsPalIsDeletedOrNoLongerSelectedAndShowsItsNewMail) {
    StartWith(kFourPals);
    SelectRow(RowOf("b@x"));
    ASSERT_EQ(MailPane(), QStringLiteral("From Bun"));
    ui.clipboardText = "Second mail";
    ui.mailTextDialogs.push_back([](std::string&, COleDateTime&) { return true; });
    ui.choosePalDialogs.push_back([](std::string& address) {
        address = "b@x";
        return true;
    });
    frame->Execute(ID_ADD_MAIL_TEXT);
    EXPECT_EQ(MailPane(), QString()) << "the refill ended the selection; no pal is shown that is not selected";
    SelectRow(RowOf("b@x"));
    EXPECT_EQ(MailPane(), QStringLiteral("Second mail"));

    ui.yesNoAnswers = {true};
    frame->Execute(ID_DELETE_PALS);
    EXPECT_EQ(MailPane(), QString());
}

TEST_F(MainWindowUseTest, SaveAsAddsTheExtensionWhenNoneWasTyped) {
    StartWith(kFourPals);
    EXPECT_TRUE(frame->SaveAs(QString::fromStdString((dir / "other").string())));
    EXPECT_TRUE(fs::exists(dir / "other.ybf"));
    EXPECT_FALSE(fs::exists(dir / "other"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("other.ybf - Yubino"));
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), (dir / "other.ybf").string());
}

TEST_F(MainWindowUseTest, BothIntakeRoadsTellOfReplacedCharactersAlike) {
    StartWith(kFourPals);
    QMimeData data;
    data.setText(QStringLiteral("送信者: \"Bun\" <b@x>\n宛先: me@x\n件名: やあ\n日時: 2002年5月3日 10:00\n\n😀\n"));
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&List(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&List(), &drop);
    QApplication::sendPostedEvents();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.front().text, Message(texts::kMailCharactersReplaced));

    // The desktop's clipboard road: the port says what the conversion replaced.
    QApplication::clipboard()->setText(QStringLiteral("😀 smile"));
    CQtUserInterface desktop;
    std::string text;
    bool replaced = false;
    ASSERT_TRUE(desktop.GetClipboardText(text, replaced));
    EXPECT_TRUE(replaced);
    EXPECT_EQ(text, "? smile");

    ui.messages.clear();
    ui.clipboardText = text;
    ui.clipboardReplaced = replaced;
    frame->Execute(ID_ADD_MAIL_TEXT);  // the mail text dialog is cancelled
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.front().text, Message(texts::kMailCharactersReplaced));
}

TEST(ShellHandOff, MailtoLinksReachTheDesktopInTheInternetForm) {
    StandInOpener opener;
    const struct {
        const char* name;
        std::vector<std::string> addresses;
        const char* url;
    } rows[] = {
        {"none", {}, "mailto:"},
        {"one", {"p@x.jp"}, "mailto:p@x.jp"},
        {"three with an empty one", {"p@x.jp", "", "r@x.jp"}, "mailto:p@x.jp,r@x.jp"},
        {"Japanese", {Cp932Text("たろう@例え.jp")}, "mailto:%E3%81%9F%E3%82%8D%E3%81%86@%E4%BE%8B%E3%81%88.jp"},
    };
    CQtUserInterface desktop;
    std::size_t given = 0;
    for (const auto& row : rows) {
        EXPECT_TRUE(desktop.OpenInShell(MakeMailtoLink(row.addresses))) << row.name;
        ASSERT_TRUE(opener.WaitForLinks(++given)) << row.name;
        EXPECT_EQ(opener.Links().back(), row.url) << row.name;
    }
    // A reply's URL is encoded already and reaches the desktop unchanged.
    const std::string reply =
        ReplyMailtoUrl({"p@x.jp", "ゆき", "寒いですね。", ReceivedMail{"Re: 雪 & 氷", "100% = 1"}});
    EXPECT_TRUE(desktop.OpenInShell(reply));
    ASSERT_TRUE(opener.WaitForLinks(++given));
    EXPECT_EQ(opener.Links().back(), reply);
}

TEST_F(MainWindowUseTest, FileDialogsStartBesideTheDataFile) {
    StartWith(kFourPals);
    for (int command : {ID_FILE_OPEN, ID_FILE_SAVE_AS, ID_IMPORT_CSV, ID_IMPORT_ADDRESS_BOOK, ID_IMPORT_MAIL_FILES,
                        ID_EXPORT_VCARD, ID_EXPORT_CSV_UTF8}) {
        QString folder;
        WhenModalOpens([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) folder = dialog->directory().absolutePath();
            static_cast<QDialog*>(modal)->reject();
        });
        frame->Execute(command);
        EXPECT_EQ(folder.toStdString(), dir.path().string()) << command;
    }
}

// The export's check box: on, a handle name that a spreadsheet would run goes behind an
// apostrophe; off, the cell is written as it is.
TEST_F(MainWindowUseTest, TheCsvExportGuardsFormulasUnlessItsBoxIsCleared) {
    std::vector<CPenPal> pals = kFourPals;
    for (CPenPal& pal : pals) pal.m_strHandleName = "=HYPERLINK(1)";  // whichever is selected
    StartWith(pals);
    for (const bool guard : {true, false}) {
        const fs::path out = dir / (guard ? "guarded.csv" : "raw.csv");
        bool boxFound = false;
        WhenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            auto* box = modal->findChild<QCheckBox*>(QStringLiteral("guardFormulas"));
            boxFound = box && box->isChecked() && box->isVisible();
            if (box) box->setChecked(guard);
            auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (dialog && name) {
                name->setText(QString::fromStdString(out.string()));
                static_cast<QDialog*>(dialog)->accept();  // with the dialog's own checks of the name
            }
            if (QApplication::activeModalWidget() == modal) static_cast<QDialog*>(modal)->reject();  // never hangs
        });
        frame->Execute(ID_EXPORT_CSV_UTF8);
        EXPECT_TRUE(boxFound);
        const std::string csv = ReadFileBytes(out);
        EXPECT_NE(csv.find(guard ? "\r\n'=HYPERLINK(1)," : "\r\n=HYPERLINK(1),"), std::string::npos) << csv;
    }
}

TEST_F(MainWindowUseTest, TheAboutBoxNamesTheVersionTheLicenceAndTheDataFileUnderAWholeTitle) {
    StartWith(kFourPals);
    QString text;
    int width = 0;
    int titleWidth = 0;
    WhenModalOpens([&](QWidget* modal) {
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("aboutText"))) text = label->text();
        width = modal->width();
        titleWidth = modal->fontMetrics().horizontalAdvance(modal->windowTitle());
        static_cast<QDialog*>(modal)->accept();
    });
    frame->Execute(ID_APP_ABOUT);
    EXPECT_TRUE(text.contains(QStringLiteral("2.00"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8(texts::kAboutLicence))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(dataFile.string()))) << text.toStdString();
    EXPECT_GE(width, titleWidth + 100) << "room for the title beside the title bar's buttons";
}

}  // namespace
