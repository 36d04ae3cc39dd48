// Assigning the columns of a CSV file no known program wrote to pal fields: one row per
// column with its header and first value, and a choice of field (or none).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "storage/pal_csv.h"

class QComboBox;

class CCsvColumnsDlg : public QDialog {
public:
    // `header` and `sample` in UTF-8; `sample` may be shorter than the header.
    CCsvColumnsDlg(const std::vector<std::string>& header, const std::vector<std::string>& sample,
                   QWidget* parent = nullptr);

    // The role chosen for each column.
    std::vector<CsvRole> Roles() const;

    // Refuses OK until some column gives the mail address.
    void accept() override;

private:
    std::vector<QComboBox*> m_choices;
};
