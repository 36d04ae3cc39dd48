// The pal list: one row per listed pal, shown in details, large icons, small icons or
// list form. One model and one selection serve all four forms; every row is known by
// the mail address in its fifth column.
#pragma once

#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/map_icons.h"
#include "core/pal_list.h"

class CYubinoApp;
class CPictureCache;
class CCellDelegate;
class CPalListModel;
class QAbstractItemDelegate;
class QAbstractItemView;
class QItemSelectionModel;
class QKeyEvent;
class QListView;
class QMimeData;
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
    // The header's indicator for a sort made before (-1: none); the next click on a
    // header sorts the other way.
    void ShowSort(int column, bool ascending);
    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return !m_sorter.NextAscending(); }

    // Tells whether dropped text is an Internet message (it goes to the mail reader) rather
    // than a mail text; without one, every text is a mail text.
    void SetMessageTest(std::function<bool(std::string_view head)> test) { m_looksLikeMessage = std::move(test); }

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
    // The rows were rebuilt; the selection is gone, without a SelectionChanged.
    void ListFilled();
    // The commands of the list's own menu and mouse gestures, carried out by the frame.
    void CommandRequested(int commandId);
    // Mail text dropped on the list, already code page 932.
    void MailTextDropped(const std::string& text);
    // An Internet message dropped as text or as message/rfc822 data.
    void InternetMessageDropped(const QByteArray& bytes);
    // Files or folders dropped from a file manager or a mail program.
    void MailFilesDropped(const QStringList& paths);
    // A .vcf or .csv file dropped on the list.
    void AddressBookDropped(const std::filesystem::path& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeDroppedText(const QString& text);
    void TakeDrop(const QMimeData& data);
    bool TakeKey(const QKeyEvent& key);
    QTreeView* CreateDetailsView();
    QListView* CreateIconView();
    QSize GridSize(int mode) const;
    void ShowContextMenu();
    void HookInput(QAbstractItemView* view);

    CYubinoApp& m_app;
    CPictureCache& m_pictures;
    std::function<bool(std::string_view head)> m_looksLikeMessage;
    CPalListModel* m_model;
    QItemSelectionModel* m_selection;
    QStackedLayout* m_stack;
    QTreeView* m_details;
    QListView* m_icons;
    CPalListSorter m_sorter;
    QTimer m_contextMenuTimer;
    bool m_bRightDoubleClicked = false;  // until the release that ends the double-click
    CCellDelegate* m_listDelegate;
    QAbstractItemDelegate* m_largeIconDelegate;
    int m_nViewMode = -1;
    int m_nSortColumn = -1;
};
