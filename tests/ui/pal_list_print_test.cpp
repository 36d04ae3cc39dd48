#include "ui/main/pal_list_print.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<CPenPal> Pals(int count) {
    std::vector<CPenPal> pals;
    for (int i = 0; i < count; ++i) {
        CPenPal pal;
        pal.m_strHandleName = Sjis("ゆき") + std::to_string(i);
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strMapName = Sjis("関東");
        pals.push_back(pal);
    }
    return pals;
}

QTextTable* TableOf(QTextDocument& document) {
    QTextCursor cursor(&document);
    while (!cursor.currentTable() && cursor.movePosition(QTextCursor::NextBlock)) {}
    return cursor.currentTable();
}

QString Cell(QTextTable& table, int row, int column) {
    QTextCursor cursor = table.cellAt(row, column).firstCursorPosition();
    cursor.setPosition(table.cellAt(row, column).lastPosition(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

TEST(PalListPrint, OneTableOfTheSixColumnsInListOrderWithARepeatedHeader) {
    const std::unique_ptr<QTextDocument> document = PalListDocument(Pals(3), QStringLiteral("friends.ybf - Yubino"));
    EXPECT_TRUE(document->toPlainText().startsWith(QStringLiteral("friends.ybf - Yubino")));
    QTextTable* table = TableOf(*document);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rows(), 4);
    ASSERT_EQ(table->columns(), 6);
    EXPECT_EQ(table->format().headerRowCount(), 1);
    const QStringList titles = {"ﾊﾝﾄﾞﾙﾈｰﾑ", "名前", "性別", "年齢", "ﾒｰﾙｱﾄﾞﾚｽ", "マップ"};
    for (int column = 0; column < 6; ++column) EXPECT_EQ(Cell(*table, 0, column), titles[column]);
    EXPECT_EQ(Cell(*table, 1, 0), QStringLiteral("ゆき0"));
    EXPECT_EQ(Cell(*table, 3, 4), QStringLiteral("pal2@example.jp"));
    EXPECT_EQ(Cell(*table, 3, 5), QStringLiteral("関東"));
}

class PrintToPdfTest : public testing::Test {
protected:
    // A chooser that prints into `pdf` instead of asking.
    PrinterChooser IntoPdf(const fs::path& pdf) {
        return [pdf](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            return true;
        };
    }

    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(PrintToPdfTest, FiveHundredPalsFillSeveralPages) {
    PrintPalList(app, Pals(500), QStringLiteral("friends.ybf - Yubino"), nullptr, IntoPdf(dir / "list.pdf"));
    const std::string pdf = ReadFileBytes(dir / "list.pdf");
    ASSERT_TRUE(pdf.starts_with("%PDF")) << "no PDF was written";
    const qsizetype pages =
        QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size())).count(QRegularExpression("/Type /Page\\b"));
    EXPECT_GT(pages, 5);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrintToPdfTest, CancellingPrintsNothingAndAFailingPrinterIsTold) {
    PrintPalList(app, Pals(2), QStringLiteral("x"), nullptr, [](QPrinter&, QWidget*) { return false; });
    EXPECT_TRUE(ui.messages.empty());

    PrintPalList(app, Pals(2), QStringLiteral("x"), nullptr, IntoPdf(dir / "no such folder" / "list.pdf"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, texts::kPrintFailed);
}

}  // namespace
