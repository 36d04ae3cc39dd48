// The pal list: one row per listed pal, shown in details, large icons, small icons or
// list form. One model and one selection serve all four forms; every row is known by
// the mail address in its fifth column.
#pragma once

#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "core/map_icons.h"
#include "core/pal_list.h"

class CYubinoApp;
class CPictureCache;
class CPalListModel;
class QAbstractItemView;
class QItemSelectionModel;
class QKeyEvent;
class QListView;
class QMenu;
class QStackedLayout;
class QTreeView;

class CYubinoView : public QWidget {
    Q_OBJECT
public:
    CYubinoView(CYubinoApp& app, CPictureCache& pictures, QWidget* parent = nullptr);

    // Rebuilds the rows from the pal table with the map filter.
    void FillList();
    // 0 large icons, 1 small icons, 2 details, 3 list; any other number does nothing.
    void SetViewMode(int mode);
    int ViewMode() const { return m_nViewMode; }

    // Addresses of the selected rows, in row order.
    std::vector<std::string> SelectedAddresses() const;
    int SelectedCount() const;
    // Every row's address with its selection, in row order, as the map reads the list.
    std::vector<PalListRow> ListRows() const;
    // The address of the row at the selection mark (the current row), empty without one.
    std::string SelectionMarkAddress() const;

    // Sort as a click on column `column`'s header does.
    void SortByColumn(int column);

    // The context menu as it would open now (its items greyed by the selection).
    QMenu* CreateContextMenu(QWidget* parent);

    CPalListModel& Model() { return *m_model; }
    QItemSelectionModel& Selection() { return *m_selection; }
    QTreeView& DetailsView() { return *m_details; }
    QListView& IconView() { return *m_icons; }
    QAbstractItemView& ActiveView() const;

signals:
    // The selection changed (the mail pane and the commands' states follow it).
    void SelectionChanged();
    // The rows were rebuilt (the selection is gone; the mail pane keeps its text).
    void ListFilled();
    // The commands of the list's own menu and mouse gestures, carried out by the frame.
    void CommandRequested(int commandId);
    // Mail text dropped on the list, already code page 932.
    void MailTextDropped(const std::string& text);
    // A .vcf or .csv file dropped on the list.
    void AddressBookDropped(const std::filesystem::path& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeDroppedText(const QString& text);
    bool TakeKey(const QKeyEvent& key);
    QTreeView* CreateDetailsView();
    QListView* CreateIconView();
    void ShowContextMenu();
    void HookInput(QAbstractItemView* view);

    CYubinoApp& m_app;
    CPictureCache& m_pictures;
    CPalListModel* m_model;
    QItemSelectionModel* m_selection;
    QStackedLayout* m_stack;
    QTreeView* m_details;
    QListView* m_icons;
    CPalListSorter m_sorter;
    QTimer m_contextMenuTimer;
    int m_nViewMode = -1;
};
