// Draws the large-icon form of the pal list: the face icon centred at the top of the
// grid cell and the handle name below it, whole where it fits in two lines, elided after.
#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

class QFont;

// The label's lines when it is broken to `width`: at most two, the second one ending in
// "…" when the text goes on.
QStringList IconLabelLines(const QString& text, const QFont& font, int width);

class CPalIconDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CPalIconDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

    // The size of one grid cell of the large icons for `font`.
    static QSize CellSize(const QFont& font);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
