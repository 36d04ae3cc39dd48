// Draws the details rows of the pal list: the pal's picture (or face icon) at 24 pixels in
// the first column, and every cell's text shortened with "..." to the column's width.
#pragma once

#include <QStyledItemDelegate>

class CPalListModel;
class CPictureCache;

inline constexpr int kSmallIconSize = 24;
inline constexpr int kLargeIconSize = 48;

class CPalRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CPalRowDelegate(const CPalListModel& model, CPictureCache& pictures, QObject* parent)
        : QStyledItemDelegate(parent), m_model(model), m_pictures(pictures) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void DrawPicture(QPainter& painter, const QRect& box, int row) const;

    const CPalListModel& m_model;
    CPictureCache& m_pictures;
};
