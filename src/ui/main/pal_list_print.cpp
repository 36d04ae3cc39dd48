#include "ui/main/pal_list_print.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "core/pal_list.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/qt_text.h"

namespace {

QTextTableFormat TableFormat() {
    QTextTableFormat format;
    format.setHeaderRowCount(1);
    format.setBorderCollapse(true);
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(Qt::gray);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    return format;
}

void FillCell(QTextTable& table, int row, int column, const QString& text, const QTextCharFormat& format) {
    QTextCursor cell = table.cellAt(row, column).firstCursorPosition();
    cell.insertText(text, format);
}

}  // namespace

std::unique_ptr<QTextDocument> PalListDocument(const std::vector<CPenPal>& rows, const QString& heading) {
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    QTextCharFormat headingFormat;
    headingFormat.setFontPointSize(14);
    headingFormat.setFontWeight(QFont::Bold);
    cursor.insertText(heading, headingFormat);
    cursor.insertBlock();

    QTextTable* table = cursor.insertTable(static_cast<int>(rows.size()) + 1, kPalListColumnCount, TableFormat());
    QTextCharFormat titleFormat;
    titleFormat.setFontWeight(QFont::Bold);
    for (int column = 0; column < kPalListColumnCount; ++column)
        FillCell(*table, 0, column, QString::fromUtf8(kPalListColumns[column].title), titleFormat);
    const QTextCharFormat cellFormat;
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (int column = 0; column < kPalListColumnCount; ++column)
            FillCell(*table, static_cast<int>(row) + 1, column, ToQString(PalListCellText(rows[row], column)),
                     cellFormat);
    return document;
}

bool ChoosePrinter(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void PrintPalList(CYubinoApp& app, const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent,
                  const PrinterChooser& choose) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(heading);
    if (!choose(printer, parent)) return;
    PalListDocument(rows, heading)->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        app.UI().ShowMessage(Cp932Text(texts::kPrintFailed), MessageKind::Warning);
}

void PreviewPalList(const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent) {
    const std::unique_ptr<QTextDocument> document = PalListDocument(rows, heading);
    QPrintPreviewDialog dialog(parent);
    dialog.printer()->setDocName(heading);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&document](QPrinter* printer) { document->print(printer); });
    dialog.exec();
}
