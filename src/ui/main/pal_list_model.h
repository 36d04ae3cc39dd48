// The rows of the pal list: a copy of the listed pals taken at each refill, shown by the
// details view and the icon views alike.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/pen_pal.h"

class CPalListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(std::vector<CPenPal> rows);
    const CPenPal& Pal(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    const std::vector<CPenPal>& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<CPenPal> m_rows;
};
