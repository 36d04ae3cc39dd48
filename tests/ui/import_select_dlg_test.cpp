#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/cpu_time.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/dialogs/analysis_import_commands.h"
#include "ui/dialogs/import_select_dlg.h"

namespace {

class ImportSelectDlgTest : public testing::Test {
protected:
    std::unique_ptr<CImportSelectDlg> Open(int count = 5, bool withColumns = true) {
        std::vector<AddressBookEntry> entries;
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(i);
            entries.push_back({"n" + n, "r" + n + "@x"});
        }
        auto dialog = std::make_unique<CImportSelectDlg>(app, entries, withColumns, directions);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), 60000));
        return dialog;
    }
    static QTreeView* Left(QDialog& d) { return d.findChild<QTreeView*>(QStringLiteral("notImported")); }
    static QTreeView* Right(QDialog& d) { return d.findChild<QTreeView*>(QStringLiteral("imported")); }
    static QPushButton* Button(QDialog& d, const char* name) {
        return d.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static void Select(QTreeView* list, std::initializer_list<int> rows) {
        list->selectionModel()->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    static QStringList Addresses(QTreeView* list) {
        QStringList texts;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            texts << list->model()->index(row, 1).data().toString();
        return texts;
    }
    static void ClickHeader(QTreeView* list, int column) {
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                          QPoint(list->header()->sectionViewportPosition(column) + 5, list->header()->height() / 2));
    }
    static void DoubleClickRow(QTreeView* list, int row) {
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    ImportSortDirections directions;
};

TEST_F(ImportSelectDlgTest, AllEntriesStartOnTheLeftUnderTheirColumns) {
    auto dialog = Open(3);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("インポートするメールアドレスの選択"));
    EXPECT_EQ(Addresses(Left(*dialog)), (QStringList{"r0@x", "r1@x", "r2@x"}));
    EXPECT_TRUE(Addresses(Right(*dialog)).isEmpty());
    for (QTreeView* list : {Left(*dialog), Right(*dialog)}) {
        EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("表示名"));
        EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("電子ﾒｰﾙｱﾄﾞﾚｽ"));
        EXPECT_EQ(list->columnWidth(0), 150);
        EXPECT_EQ(list->columnWidth(1), 150);
    }
    EXPECT_TRUE(Button(*dialog, "moveRight")->isDefault());
}

TEST_F(ImportSelectDlgTest, UnreadableFileShowsListsWithoutColumns) {
    auto dialog = Open(0, false);
    EXPECT_EQ(Left(*dialog)->model()->columnCount(), 0);
    EXPECT_EQ(Right(*dialog)->model()->columnCount(), 0);
    dialog->accept();
    EXPECT_EQ(app.GetPalCount(), 0);
}

TEST_F(ImportSelectDlgTest, MovingRowsOneAndThreePutsThreeAboveOne) {
    auto dialog = Open();
    Select(Left(*dialog), {1, 3});
    QTest::mouseClick(Button(*dialog, "moveRight"), Qt::LeftButton);
    EXPECT_EQ(Addresses(Right(*dialog)), (QStringList{"r3@x", "r1@x"}));
    EXPECT_EQ(Addresses(Left(*dialog)), (QStringList{"r0@x", "r2@x", "r4@x"}));

    Select(Right(*dialog), {1});
    QTest::mouseClick(Button(*dialog, "moveLeft"), Qt::LeftButton);
    EXPECT_EQ(Addresses(Left(*dialog)), (QStringList{"r1@x", "r0@x", "r2@x", "r4@x"}));

    QTest::mouseClick(Button(*dialog, "moveRight"), Qt::LeftButton);  // nothing selected: nothing moves
    EXPECT_EQ(Addresses(Right(*dialog)), (QStringList{"r3@x"}));
}

TEST_F(ImportSelectDlgTest, DoubleClickMovesTheRow) {
    auto dialog = Open(3);
    DoubleClickRow(Left(*dialog), 2);
    EXPECT_EQ(Addresses(Right(*dialog)), (QStringList{"r2@x"}));
    DoubleClickRow(Right(*dialog), 0);
    EXPECT_EQ(Addresses(Left(*dialog)), (QStringList{"r2@x", "r0@x", "r1@x"}));
}

TEST_F(ImportSelectDlgTest, EachListHasItsOwnSortDirection) {
    auto dialog = Open(3);
    Select(Left(*dialog), {0, 1});
    QTest::mouseClick(Button(*dialog, "moveRight"), Qt::LeftButton);  // right: r1, r0
    ClickHeader(Left(*dialog), 1);
    EXPECT_EQ(Addresses(Left(*dialog)), (QStringList{"r2@x"}));
    ClickHeader(Right(*dialog), 1);  // the right list's first click: ascending
    EXPECT_EQ(Addresses(Right(*dialog)), (QStringList{"r0@x", "r1@x"}));
    ClickHeader(Right(*dialog), 0);
    EXPECT_EQ(Addresses(Right(*dialog)), (QStringList{"r1@x", "r0@x"}));
    EXPECT_EQ(directions.notImported.Direction(), -1);
    EXPECT_EQ(directions.imported.Direction(), 1);
}

TEST_F(ImportSelectDlgTest, OkAddsTheRightListTopToBottomThenRefreshes) {
    auto dialog = Open();
    Select(Left(*dialog), {0, 2});
    QTest::mouseClick(Button(*dialog, "moveRight"), Qt::LeftButton);
    dialog->accept();
    ASSERT_EQ(app.GetPalCount(), 2);
    EXPECT_EQ(app.Pals()[0].m_strMailAddress, "r2@x");
    EXPECT_EQ(app.Pals()[0].m_strHandleName, "n2");
    EXPECT_EQ(app.Pals()[1].m_strMailAddress, "r0@x");
    EXPECT_EQ(ui.events, (std::vector<std::string>{"list", "map"}));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(ImportSelectDlgTest, CancelImportsNothing) {
    auto dialog = Open();
    Select(Left(*dialog), {0, 1, 2});
    QTest::mouseClick(Button(*dialog, "moveRight"), Qt::LeftButton);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(app.GetPalCount(), 0);
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(ImportSelectDlgTest, HundredThousandRowsMoveAndSortQuickly) {
    const double start = ProcessCpuSeconds();
    auto dialog = Open(100000);
    Left(*dialog)->selectAll();
    QTest::mouseClick(Button(*dialog, "moveRight"), Qt::LeftButton);
    ClickHeader(Right(*dialog), 1);
    QApplication::processEvents();
    EXPECT_EQ(Right(*dialog)->model()->rowCount(), 100000);
    EXPECT_EQ(Right(*dialog)->model()->index(0, 1).data().toString(), QStringLiteral("r0@x"));
    // About a second of CPU; work that grew with the square of the rows would take hours.
    EXPECT_LT(ProcessCpuSeconds() - start, 30.0);
}

class CsvImportCommandTest : public testing::Test {
protected:
    CsvFileChooser Choose(const std::string& cp932Content) {
        WriteFileBytes(dir / "book.csv", cp932Content);
        return [path = dir / "book.csv"](QWidget*, const QString&) { return std::optional(path); };
    }
    // Runs the command; the import dialog, if it opens, is handed to `script`.
    void Run(const CsvFileChooser& choose, std::function<void(CImportSelectDlg&)> script = {}) {
        // A timer of this call only: it must not outlive a run that opened no dialog.
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* dialog = dynamic_cast<CImportSelectDlg*>(QApplication::activeModalWidget())) {
                opened = true;
                if (script) script(*dialog);
                dialog->reject();
            }
        });
        timer.start(0);
        RunCsvImport(app, nullptr, QString(), choose);
    }

    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app{ui};
    bool opened = false;
};

TEST_F(CsvImportCommandTest, CancelledFileChoiceDoesNothing) {
    Run([](QWidget*, const QString&) { return std::optional<std::filesystem::path>(); });
    EXPECT_FALSE(opened);
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(CsvImportCommandTest, FileOfAnotherFormatIsRefusedWithAMessage) {
    Run(Choose(Sjis("名前,メール\nA,a@x\n")));
    EXPECT_FALSE(opened);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "CSV ファイルをインポートできませんでした\n異なる形式のファイルです");
}

TEST_F(CsvImportCommandTest, EntriesAreOfferedAndCancelKeepsTheTable) {
    std::vector<AddressBookEntry> offered;
    Run(Choose(Sjis("表示名,電子メール アドレス\n太郎,taro@x\n花子,hanako@x\n")), [&](CImportSelectDlg& dialog) {
        QTreeView* left = dialog.findChild<QTreeView*>(QStringLiteral("notImported"));
        left->selectAll();
        dialog.findChild<QPushButton*>(QStringLiteral("moveRight"))->click();
        offered = dialog.ChosenEntries();
    });
    EXPECT_TRUE(opened);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].address, "hanako@x");
    EXPECT_EQ(app.GetPalCount(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(QtFileFilter, EveryPairBecomesANameFilter) {
    EXPECT_EQ(QtFileFilter(QString::fromUtf8(texts::kCsvFileFilter)),
              QStringLiteral("OutlookExpress 形式CSVアドレス帳 (*.csv);;すべてのﾌｧｲﾙ (*)"));
}

}  // namespace
