// A table model over rows of code page 932 texts, as the analysis and import dialogs show
// them, and the setup of the report-style lists that show it.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "analysis/text_rows.h"

class QTreeView;

class CTextRowsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetContents(std::vector<TextColumn> columns, std::vector<TextRow> rows);
    const std::vector<TextColumn>& Columns() const { return m_columns; }
    const std::vector<TextRow>& Rows() const { return m_rows; }

    // Sorts by a clicked column with the list's direction flag (then flipped); selected
    // rows stay selected.
    void SortByColumn(int column, CSortDirection& direction);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Moves the selected rows of `from` to the top of `to` (see MoveSelectedRows).
    static void MoveRows(CTextRowsModel& from, const std::vector<int>& selected, CTextRowsModel& to);

private:
    std::vector<TextColumn> m_columns;
    std::vector<TextRow> m_rows;
};

// A list in report style: whole rows selected (several at once), no tree decoration,
// clickable headers that do not sort by themselves.
void SetUpReportList(QTreeView& view);
// The widths of the model's columns, in pixels.
void ApplyColumnWidths(QTreeView& view, const CTextRowsModel& model);
// The rows selected in the view, in row order.
std::vector<int> SelectedRows(const QTreeView& view);
