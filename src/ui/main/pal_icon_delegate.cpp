#include "ui/main/pal_icon_delegate.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "ui/main/pal_row_delegate.h"

namespace {

constexpr int kCellWidth = 96;
constexpr int kLabelLines = 2;
constexpr int kGap = 4;

}  // namespace

QStringList IconLabelLines(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == kLabelLines - 1) {
            // The last line takes the rest of the text, elided when it is too long.
            lines << QFontMetrics(font).elidedText(text.mid(line.textStart()), Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

QSize CPalIconDelegate::CellSize(const QFont& font) {
    return {kCellWidth, kLargeIconSize + kGap + kLabelLines * QFontMetrics(font).lineSpacing() + kGap};
}

QSize CPalIconDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return CellSize(option.font);
}

void CPalIconDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QRect cell = option.rect;
    const QRect iconBox(cell.x() + (cell.width() - kLargeIconSize) / 2, cell.y() + kGap / 2, kLargeIconSize,
                        kLargeIconSize);
    const bool selected = option.state & QStyle::State_Selected;
    item.icon.paint(painter, iconBox, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal);

    const QFontMetrics metrics(option.font);
    const int width = cell.width() - 2 * kGap;
    const QStringList lines = IconLabelLines(item.text, option.font, width);
    int textWidth = 0;
    for (const QString& line : lines) textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const QRect textBox(cell.x() + (cell.width() - textWidth) / 2 - 1, iconBox.bottom() + 1 + kGap, textWidth + 2,
                        static_cast<int>(lines.size()) * metrics.lineSpacing());
    const QPalette& palette = option.palette;
    if (selected) painter->fillRect(textBox, palette.highlight());
    painter->save();
    painter->setFont(option.font);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    for (int i = 0; i < lines.size(); ++i)
        painter->drawText(QRect(cell.x() + kGap, textBox.y() + i * metrics.lineSpacing(), width, metrics.lineSpacing()),
                          Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = textBox;
        focus.palette = palette;
        focus.state = option.state;
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}
