// The fields where a pal in the table and the same pal in an imported file differ: one row
// per field with both values, checked where the file's value is to be taken.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "storage/pal_merge.h"

class QTableWidget;

class CMergeChoiceDlg : public QDialog {
public:
    // `palName` in code page 932, as the list shows the pal.
    CMergeChoiceDlg(const std::string& palName, const std::vector<FieldConflict>& conflicts, QWidget* parent = nullptr);

    // The fields whose value the file gives; none when the dialog was cancelled.
    std::vector<PalField> Chosen() const;

private:
    std::vector<FieldConflict> m_conflicts;
    QTableWidget* m_table;
};
