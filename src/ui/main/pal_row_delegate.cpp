#include "ui/main/pal_row_delegate.h"

#include <QApplication>
#include <QPainter>

#include "core/fit_text.h"
#include "core/pal_list.h"
#include "ui/face_icons.h"
#include "ui/main/pal_list_model.h"
#include "ui/map/picture_cache.h"
#include "ui/qt_text.h"

namespace {

constexpr int kTextGap = 5;
constexpr int kFitMargin = 10;

}  // namespace

void CPalRowDelegate::DrawPicture(QPainter& painter, const QRect& box, int row) const {
    const CPenPal& pal = m_model.Pal(row);
    if (pal.m_bUsePicture) {
        // A picture that cannot be had leaves the cell without an image.
        m_pictures.DrawPicture(painter, pal.m_strPictureFile, box.x(), box.y(), kSmallIconSize);
        return;
    }
    const QPixmap icon = FaceIconForScreen(pal.m_nFaceIcon, kSmallIconSize, painter.device()->devicePixelRatioF());
    if (!icon.isNull()) painter.drawPixmap(box.topLeft(), icon);
}

void CPalRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());

    QRect textRect = option.rect.adjusted(kTextGap, 0, 0, 0);
    if (index.column() == 0) {
        const QRect box(option.rect.x(), option.rect.y() + (option.rect.height() - kSmallIconSize) / 2, kSmallIconSize,
                        kSmallIconSize);
        DrawPicture(*painter, box, index.row());
        textRect.setLeft(box.right() + 1 + kTextGap);
    }

    const QFontMetrics metrics(option.font);
    const std::string& text = PalListCellText(m_model.Pal(index.row()), index.column());
    const std::string fitted =
        FitTextToWidth(text, option.rect.right() + 1 - textRect.left() + kTextGap, kFitMargin,
                       [&](std::string_view part) { return metrics.horizontalAdvance(ToQString(std::string(part))); });
    painter->setFont(option.font);
    painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ToQString(fitted));
    painter->restore();
}

QSize CPalRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), kSmallIconSize + 2));
    return size;
}
