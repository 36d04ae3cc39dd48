#include "ui/main/conversation_document.h"

#include <QPalette>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <cstring>

#include "core/texts.h"

namespace {

QColor Mixed(const QColor& base, const QColor& tint, double share) {
    return QColor::fromRgbF(static_cast<float>(base.redF() * (1 - share) + tint.redF() * share),
                            static_cast<float>(base.greenF() * (1 - share) + tint.greenF() * share),
                            static_cast<float>(base.blueF() * (1 - share) + tint.blueF() * share));
}

struct MailColors {
    QColor border, header, body, label;
};

MailColors ColorsFor(const ConversationMail& mail, const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const bool sent = mail.direction == MailDirection::Sent;
    const QColor body = sent ? Mixed(base, palette.color(QPalette::Highlight), 0.08) : base;
    return {Mixed(base, text, 0.3), Mixed(body, text, 0.06), body, Mixed(base, text, 0.55)};
}

void FillCell(QTextTable& table, int row, int column, const QColor& background) {
    QTextTableCell cell = table.cellAt(row, column);
    QTextCharFormat format = cell.format();
    format.setBackground(background);
    cell.setFormat(format);
}

void InsertHeader(QTextCursor& cursor, const ConversationMail& mail, const MailColors& colors) {
    QTextTableFormat format;
    format.setBorder(0);
    format.setCellPadding(1);
    format.setCellSpacing(0);
    QTextTable* header = cursor.insertTable(static_cast<int>(mail.header.size()), 2, format);
    QTextCharFormat label;
    label.setForeground(colors.label);
    QTextCharFormat value;
    QTextCharFormat subject;
    subject.setFontWeight(QFont::Bold);
    for (int row = 0; row < static_cast<int>(mail.header.size()); ++row) {
        const ConversationHeaderLine& line = mail.header[static_cast<std::size_t>(row)];
        header->cellAt(row, 0).firstCursorPosition().insertText(QString::fromUtf8(line.label) + QStringLiteral(": "),
                                                                label);
        // The subject stands out, as in a mail program.
        const bool isSubject = std::strcmp(line.label, texts::kConversationSubject) == 0;
        header->cellAt(row, 1).firstCursorPosition().insertText(QString::fromUtf8(line.value),
                                                                isSubject ? subject : value);
    }
}

// One mail as a box of two rows at the cursor: the header block, then the text.
void InsertMail(QTextCursor& cursor, const ConversationMail& mail, const QPalette& palette) {
    const MailColors colors = ColorsFor(mail, palette);
    QTextTableFormat box;
    box.setBorder(1);
    box.setBorderBrush(colors.border);
    box.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    box.setBorderCollapse(true);
    box.setCellSpacing(0);
    box.setCellPadding(6);
    box.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    box.setBottomMargin(8);
    QTextTable* table = cursor.insertTable(2, 1, box);
    FillCell(*table, 0, 0, colors.header);
    FillCell(*table, 1, 0, colors.body);
    QTextCursor headerCursor = table->cellAt(0, 0).firstCursorPosition();
    InsertHeader(headerCursor, mail, colors);
    QTextCharFormat body;
    if (mail.bodyIsNote) {
        body.setFontItalic(true);
        body.setForeground(colors.label);
    }
    table->cellAt(1, 0).firstCursorPosition().insertText(QString::fromUtf8(mail.body), body);
}

}  // namespace

void InsertConversationPage(QTextDocument& document, const ConversationPage& page, const QPalette& palette) {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    if (page.goesOnTop) {
        // Each box goes in at the start, the last one first.
        for (auto mail = page.mails.rbegin(); mail != page.mails.rend(); ++mail) {
            cursor.setPosition(0);
            InsertMail(cursor, *mail, palette);
        }
    } else {
        for (const ConversationMail& mail : page.mails) {
            cursor.movePosition(QTextCursor::End);
            InsertMail(cursor, mail, palette);
        }
    }
    cursor.endEditBlock();
}
