#include "ui/main/yubino_view.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <utility>
#include <optional>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/mail_intake.h"
#include "ui/main/command_ids.h"
#include "ui/main/pal_icon_delegate.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/pal_row_delegate.h"
#include "ui/qt_text.h"

namespace {

constexpr int kSmallIconCellWidth = 150;


QAction* AddMenuItem(QMenu& menu, const char* text, int commandId, bool enabled) {
    QAction* action = menu.addAction(QString::fromUtf8(text));
    action->setData(commandId);
    action->setEnabled(enabled);
    return action;
}

// The Internet message type that mail programs give a dragged mail.
const QString kMessageType = QStringLiteral("message/rfc822");

QStringList LocalFiles(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

// Plain text, a dragged mail, or files: a link dragged from a browser (which Qt would
// also offer as text) is no mail.
bool OffersMail(const QMimeData& data) {
    if (data.hasFormat(kMessageType) || !LocalFiles(data).isEmpty()) return true;
    if (data.hasUrls()) return false;
    const QStringList formats = data.formats();
    return std::any_of(formats.begin(), formats.end(),
                       [](const QString& format) { return format.startsWith(QStringLiteral("text/plain")); });
}

// The address book file a drop carries: one local .vcf, .vcard or .csv file.
std::optional<std::filesystem::path> DroppedAddressBook(const QMimeData& data) {
    if (!data.hasUrls() || data.urls().size() != 1 || !data.urls().front().isLocalFile()) return std::nullopt;
    const QString file = data.urls().front().toLocalFile();
    for (const char* suffix : {".vcf", ".vcard", ".csv"})
        if (file.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return std::filesystem::path(QFile::encodeName(file).toStdString());
    return std::nullopt;
}

void AcceptTextDrag(QDropEvent& event) {
    if (OffersMail(*event.mimeData())) {
        event.setDropAction(Qt::CopyAction);
        event.accept();
    } else {
        event.ignore();
    }
}

}  // namespace

// Small icons and the list form: each row as big as its grid cell when there is a grid,
// so that a long name is shortened at the cell's edge, not at its own first row's width.
class CCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void SetCell(QSize cell) { m_cell = cell; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return m_cell.isValid() ? m_cell : QStyledItemDelegate::sizeHint(option, index);
    }

private:
    QSize m_cell;
};

CYubinoView::CYubinoView(CYubinoApp& app, CPictureCache& pictures, QWidget* parent)
    : QWidget(parent), m_app(app), m_pictures(pictures), m_model(new CPalListModel(this)) {
    m_details = CreateDetailsView();
    m_icons = CreateIconView();
    m_selection = m_details->selectionModel();
    m_icons->setSelectionModel(m_selection);
    connect(m_selection, &QItemSelectionModel::selectionChanged, this, &CYubinoView::SelectionChanged);
    m_contextMenuTimer.setSingleShot(true);
    connect(&m_contextMenuTimer, &QTimer::timeout, this, &CYubinoView::ShowContextMenu);

    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);
    // Drops are taken by the list as a whole, never by the item views.
    setAcceptDrops(true);
    SetViewMode(kDetails);
}

QTreeView* CYubinoView::CreateDetailsView() {
    auto* view = new QTreeView(this);
    view->setModel(m_model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setIconSize({kSmallIconSize, kSmallIconSize});
    view->setItemDelegate(new CPalRowDelegate(*m_model, m_pictures, view));
    QHeaderView* header = view->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    for (int column = 0; column < kPalListColumnCount; ++column)
        header->resizeSection(column, kPalListColumns[column].width);
    connect(header, &QHeaderView::sectionClicked, this, &CYubinoView::SortByColumn);
    HookInput(view);
    return view;
}

QListView* CYubinoView::CreateIconView() {
    auto* view = new QListView(this);
    view->setModel(m_model);
    view->setModelColumn(0);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setMovement(QListView::Static);
    view->setResizeMode(QListView::Adjust);
    view->setWrapping(true);
    // Sizes differ between the forms: the delegates answer each row's size at once.
    view->setUniformItemSizes(false);
    m_listDelegate = new CCellDelegate(view);
    m_largeIconDelegate = new CPalIconDelegate(view);
    HookInput(view);
    return view;
}

void CYubinoView::HookInput(QAbstractItemView* view) {
    view->setAcceptDrops(false);
    view->viewport()->setAcceptDrops(false);
    view->viewport()->installEventFilter(this);
    view->installEventFilter(this);
    view->setContextMenuPolicy(Qt::NoContextMenu);
}

void CYubinoView::FillList() {
    m_model->SetRows(ListedPals(m_app));
    emit ListFilled();
}

// Large and small icons sit in a grid of equal cells; the list form has none.
QSize CYubinoView::GridSize(int mode) const {
    if (mode == kLargeIcons) return CPalIconDelegate::CellSize(m_icons->font());
    if (mode == kSmallIcons) return {kSmallIconCellWidth, std::max(kSmallIconSize, m_icons->fontMetrics().height()) + 4};
    return {};
}

void CYubinoView::SetViewMode(int mode) {
    if (mode < kLargeIcons || mode > kListMode) return;
    m_nViewMode = mode;
    if (mode == kDetails) {
        m_stack->setCurrentWidget(m_details);
        return;
    }
    const bool large = mode == kLargeIcons;
    m_listDelegate->SetCell(mode == kSmallIcons ? GridSize(mode) : QSize());
    m_icons->setItemDelegate(large ? m_largeIconDelegate : m_listDelegate);
    m_icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    m_icons->setIconSize(large ? QSize(kLargeIconSize, kLargeIconSize) : QSize(kSmallIconSize, kSmallIconSize));
    m_icons->setFlow(mode == kListMode ? QListView::TopToBottom : QListView::LeftToRight);
    m_icons->setGridSize(GridSize(mode));
    m_icons->setWordWrap(false);
    m_icons->setWrapping(true);
    m_icons->setMovement(QListView::Static);
    m_stack->setCurrentWidget(m_icons);
}

QAbstractItemView& CYubinoView::ActiveView() const {
    if (m_nViewMode == kDetails) return *m_details;
    return *m_icons;
}

std::vector<std::string> CYubinoView::SelectedAddresses() const {
    QModelIndexList rows = m_selection->selectedRows(0);
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::string> addresses;
    addresses.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& index : rows) addresses.push_back(m_model->Pal(index.row()).m_strMailAddress);
    return addresses;
}

std::vector<PalListRow> CYubinoView::ListRows() const {
    std::vector<PalListRow> rows;
    rows.reserve(m_model->Rows().size());
    for (int row = 0; row < m_model->rowCount(); ++row)
        rows.push_back({m_model->Pal(row).m_strMailAddress, m_selection->isRowSelected(row)});
    return rows;
}

int CYubinoView::SelectedCount() const { return static_cast<int>(m_selection->selectedRows(0).size()); }

std::string CYubinoView::SelectionMarkAddress() const {
    const QModelIndex current = m_selection->currentIndex();
    if (!current.isValid() || current.row() >= m_model->rowCount()) return {};
    return m_model->Pal(current.row()).m_strMailAddress;
}

void CYubinoView::SortByColumn(int column) {
    m_sorter.SortByColumn(m_app, column);
    ShowSort(column, !m_sorter.NextAscending());
    FillList();
}

void CYubinoView::ShowSort(int column, bool ascending) {
    if (column < 0 || column >= kPalListColumnCount) return;
    m_nSortColumn = column;
    m_sorter.SetNextAscending(!ascending);
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QMenu* CYubinoView::CreateContextMenu(QWidget* parent) {
    const PalCommandStates states = PalCommandStatesFor(SelectedCount(), m_app.GetPalCount());
    auto* menu = new QMenu(parent);
    AddMenuItem(*menu, texts::kLmenuAdd, ID_ADD_PAL, states.addPal);
    AddMenuItem(*menu, texts::kLmenuDelete, ID_DELETE_PALS, states.deletePals);
    QMenu* edit = menu->addMenu(QString::fromUtf8(texts::kLmenuEdit));
    AddMenuItem(*edit, texts::kLmenuEditOne, ID_EDIT_PAL, states.editOne);
    AddMenuItem(*edit, texts::kLmenuEditSeveral, ID_EDIT_PALS, states.editSeveral);
    menu->addSeparator();
    AddMenuItem(*menu, texts::kLmenuAddMailText, ID_ADD_MAIL_TEXT, true);
    AddMenuItem(*menu, texts::kLmenuSendMail, ID_SEND_MAIL, states.sendMail);
    AddMenuItem(*menu, texts::kMenuPlaceFromResidence, ID_PLACE_FROM_RESIDENCE, SelectedCount() > 0);
    AddMenuItem(*menu, texts::kLmenuAnalysis, ID_ANALYSIS, true);
    return menu;
}

void CYubinoView::ShowContextMenu() {
    activateWindow();
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu, &QMenu::triggered, this, [this](QAction* action) { emit CommandRequested(action->data().toInt()); });
    menu->popup(QCursor::pos());
}

// Delete deletes the selected pals and Enter edits the current one, as in any list.
bool CYubinoView::TakeKey(const QKeyEvent& key) {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (key.key() == Qt::Key_Delete) {
        emit CommandRequested(ID_DELETE_PALS);
        return true;
    }
    if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && !SelectionMarkAddress().empty()) {
        emit CommandRequested(ID_EDIT_PAL);
        return true;
    }
    return false;
}

bool CYubinoView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && TakeKey(*static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            m_contextMenuTimer.stop();
            m_bRightDoubleClicked = true;
            emit CommandRequested(ID_SEND_MAIL);
            return true;
        }
        if (mouse->button() == Qt::LeftButton) {
            emit CommandRequested(ID_EDIT_PAL);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        // The menu waits out the double-click time, so that a right double-click can
        // send mail instead; the release that ends a double-click opens no menu.
        if (!std::exchange(m_bRightDoubleClicked, false)) m_contextMenuTimer.start(QApplication::doubleClickInterval());
    }
    return QWidget::eventFilter(watched, event);
}

void CYubinoView::dragEnterEvent(QDragEnterEvent* event) { AcceptTextDrag(*event); }

void CYubinoView::dragMoveEvent(QDragMoveEvent* event) { AcceptTextDrag(*event); }

void CYubinoView::dropEvent(QDropEvent* event) {
    if (const std::optional<std::filesystem::path> book = DroppedAddressBook(*event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        QMetaObject::invokeMethod(
            this, [this, path = *book] { emit AddressBookDropped(path); }, Qt::QueuedConnection);
        return;
    }
    if (!OffersMail(*event->mimeData())) {
        event->ignore();
        return;
    }
    activateWindow();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The mail is taken in once the drop has ended: its messages and dialogs are modal,
    // and the drag source waits for the drop to finish. The data is copied now, since the
    // drag's data is gone by then.
    auto* data = new QMimeData;
    for (const QString& format : event->mimeData()->formats()) data->setData(format, event->mimeData()->data(format));
    data->setUrls(event->mimeData()->urls());
    QMetaObject::invokeMethod(
        this,
        [this, data] {
            TakeDrop(*data);
            delete data;
        },
        Qt::QueuedConnection);
}

// Which reader a drop goes to is decided by what it holds, never by a file's name.
void CYubinoView::TakeDrop(const QMimeData& data) {
    const QStringList files = LocalFiles(data);
    if (!files.isEmpty()) {
        emit MailFilesDropped(files);
    } else if (data.hasFormat(kMessageType)) {
        emit InternetMessageDropped(data.data(kMessageType));
    } else if (const QByteArray utf8 = data.text().toUtf8();
               m_looksLikeMessage && m_looksLikeMessage(std::string_view(utf8.constData(), utf8.size()))) {
        emit InternetMessageDropped(utf8);
    } else {
        TakeDroppedText(data.text());
    }
}

void CYubinoView::TakeDroppedText(const QString& text) {
    if (text.isEmpty()) {
        m_app.UI().ShowMessage(Cp932Text(texts::kDropUnreadable), MessageKind::Warning);
        return;
    }
    bool replaced = false;
    const std::string cp932 = ToCp932Lossy(text, &replaced);
    if (replaced) TellReplacedCharacters(m_app);
    emit MailTextDropped(cp932);
}
