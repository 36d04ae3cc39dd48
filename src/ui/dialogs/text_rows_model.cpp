#include "ui/dialogs/text_rows_model.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>

#include "ui/qt_text.h"

void CTextRowsModel::SetContents(std::vector<TextColumn> columns, std::vector<TextRow> rows) {
    beginResetModel();
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    endResetModel();
}

void CTextRowsModel::SortByColumn(int column, CSortDirection& direction) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::size_t> order = SortTextRows(m_rows, column, direction);
    std::vector<int> newPlace(order.size());
    for (std::size_t place = 0; place < order.size(); ++place) newPlace[order[place]] = static_cast<int>(place);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newPlace[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CTextRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTextRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CTextRowsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const TextRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    return column < row.size() ? ToQString(row[column]) : QString();
}

QVariant CTextRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return ToQString(m_columns[static_cast<std::size_t>(section)].title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void CTextRowsModel::MoveRows(CTextRowsModel& from, const std::vector<int>& selected, CTextRowsModel& to) {
    if (selected.empty()) return;
    from.beginResetModel();
    to.beginResetModel();
    MoveSelectedRows(from.m_rows, selected, to.m_rows);
    to.endResetModel();
    from.endResetModel();
}

void SetUpReportList(QTreeView& view) {
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSortingEnabled(false);
    view.header()->setSectionsClickable(true);
    view.header()->setSectionsMovable(false);
    view.header()->setStretchLastSection(false);
    view.header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ApplyColumnWidths(QTreeView& view, const CTextRowsModel& model) {
    for (std::size_t i = 0; i < model.Columns().size(); ++i)
        view.setColumnWidth(static_cast<int>(i), model.Columns()[i].width);
}

std::vector<int> SelectedRows(const QTreeView& view) {
    std::vector<int> rows;
    if (!view.selectionModel()) return rows;
    for (const QModelIndex& index : view.selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}
