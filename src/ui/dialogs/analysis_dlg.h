// The analysis dialog: the pal table in four tabbed views, three per-pal tables and one
// of totals and averages, and a fifth tab of charts. It reads the table and changes nothing.
#pragma once

#include <QDialog>
#include <filesystem>

#include "ui/dialogs/text_rows_model.h"

class CChartsPage;
class CYubinoApp;
class QStackedWidget;
class QTabBar;
class QTreeView;

class CAnalysisDlg : public QDialog {
public:
    // `direction` is the sort flag for the whole run, shared by every opening; `archive` the
    // data file's mail archive, whose charts the charts tab shows when it exists.
    CAnalysisDlg(const CYubinoApp& app, CSortDirection& direction, const std::filesystem::path& archive = {},
                 QWidget* parent = nullptr);

    CChartsPage& Charts() const { return *m_charts; }

private:
    // Rebuilds the columns and rows of the selected tab, in table order.
    void FillList();
    void SortByColumn(int column);
    void ShowChartsLarge();

    const CYubinoApp& m_app;
    CSortDirection& m_direction;
    QTabBar* m_tabs;
    QTreeView* m_list;
    CChartsPage* m_charts;
    QStackedWidget* m_pages;
    CTextRowsModel m_model;
};
