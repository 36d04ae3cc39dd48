#include "ui/main/reply_queue_pane.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

#include "archive/archive_seed.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/qt_text.h"

namespace {

constexpr int kAddressRole = Qt::UserRole;
constexpr int kDaysColumn = 3;

// Numbers sort as numbers, texts as texts.
class CQueueItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == kDaysColumn)
            return data(column, Qt::DisplayRole).toLongLong() < other.data(column, Qt::DisplayRole).toLongLong();
        return QTreeWidgetItem::operator<(other);
    }
};

}  // namespace

CReplyQueuePane::CReplyQueuePane(const CYubinoApp& app, QWidget* parent)
    : QDockWidget(QString::fromUtf8(texts::kQueuePaneTitle), parent), m_app(app) {
    setObjectName(QStringLiteral("replyQueuePane"));
}

QAction* CReplyQueuePane::ChosenPalAction(const char* text, void (CReplyQueuePane::*signal)(const std::string&)) {
    auto* action = new QAction(QString::fromUtf8(text), this);
    connect(action, &QAction::triggered, this, [this, signal] {
        if (const std::string address = ChosenAddress(); !address.empty()) emit(this->*signal)(address);
    });
    return action;
}

std::string CReplyQueuePane::ChosenAddress() const {
    const auto* list = m_tabs ? qobject_cast<QTreeWidget*>(m_tabs->currentWidget()) : nullptr;
    const QTreeWidgetItem* item = list ? list->currentItem() : nullptr;
    return item ? item->data(0, kAddressRole).toByteArray().toStdString() : std::string();
}

// The lists are made when the pane is first shown: most sessions never open it, and
// start-up need not lay out its tabs.
void CReplyQueuePane::MakeContents() {
    if (m_tabs) return;
    m_tabs = new QTabWidget(this);
    m_reply = ChosenPalAction(texts::kMenuWriteReply, &CReplyQueuePane::ReplyRequested);
    // Enter in a list writes the reply; the window's Ctrl+R does the same for the list's pal.
    m_reply->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    m_reply->setShortcutContext(Qt::WidgetShortcut);
    m_answered = ChosenPalAction(texts::kMenuMarkAnswered, &CReplyQueuePane::AnsweredRequested);
    m_quietDays = ChosenPalAction(texts::kMenuPalQuietDays, &CReplyQueuePane::QuietDaysRequested);
    m_snooze = new QAction(QString::fromUtf8(texts::kMenuSnooze), this);
    auto* snoozeMenu = new QMenu(this);
    for (std::size_t i = 0; i < std::size(texts::kSnoozeDays); ++i) {
        QAction* later = snoozeMenu->addAction(QString::fromUtf8(texts::kMenuSnoozeDays[i]));
        connect(later, &QAction::triggered, this, [this, days = texts::kSnoozeDays[i]] {
            if (const std::string address = ChosenAddress(); !address.empty()) emit SnoozeRequested(address, days);
        });
    }
    m_snooze->setMenu(snoozeMenu);
    m_waiting = MakeList();
    m_quiet = MakeList();
    m_tabs->addTab(m_waiting, QString::fromUtf8(texts::kQueueWaiting));
    m_tabs->addTab(m_quiet, QString::fromUtf8(texts::kQueueQuiet));
    setWidget(m_tabs);
}

QTreeWidget* CReplyQueuePane::MakeList() {
    auto* list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    QStringList headers;
    for (const char* title : texts::kQueueColumns) headers << QString::fromUtf8(title);
    list->setHeaderLabels(headers);
    list->setSortingEnabled(true);
    list->sortByColumn(m_sortColumn, m_sortOrder);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setColumnWidth(0, 100);
    list->setColumnWidth(1, 150);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* separator = new QAction(list);
    separator->setSeparator(true);
    list->addActions({m_reply, m_answered, m_snooze, separator, m_quietDays});
    const auto select = [this](QTreeWidgetItem* item) {
        emit PalActivated(item->data(0, kAddressRole).toByteArray().toStdString());
    };
    connect(list, &QTreeWidget::itemClicked, this, select);
    connect(list, &QTreeWidget::itemDoubleClicked, this, select);
    connect(list->header(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) { SetSort(column, order == Qt::AscendingOrder); });
    return list;
}

void CReplyQueuePane::Fill(QTreeWidget* list, const std::vector<QueueEntry>& entries) {
    const std::string chosen = ChosenAddress();
    list->setSortingEnabled(false);
    list->clear();
    for (const QueueEntry& entry : entries) {
        const std::string address = TableAddress(entry.pal);
        CPenPal pal;
        m_app.FindPalByAddress(address, pal);
        auto* item = new CQueueItem(list);
        item->setText(0, ToQString(pal.m_strHandleName));
        item->setText(1, QString::fromUtf8(entry.pal));
        const QString date = QString::fromUtf8(entry.date).replace(QLatin1Char('-'), QLatin1Char('/'));
        item->setData(kDaysColumn, Qt::DisplayRole, static_cast<qlonglong>(entry.days));
        item->setData(0, kAddressRole, QByteArray::fromStdString(address));
        if (entry.snoozedUntil.empty()) {
            item->setText(2, date);
        } else {
            // Put off: still listed, in grey, with the day it comes back.
            const QString until = QString::fromUtf8(entry.snoozedUntil).replace(QLatin1Char('-'), QLatin1Char('/'));
            item->setText(2, QString::fromUtf8(texts::kQueueLater).arg(date, until));
            for (int column = 0; column < list->columnCount(); ++column)
                item->setForeground(column, list->palette().brush(QPalette::Disabled, QPalette::Text));
        }
        if (address == chosen) list->setCurrentItem(item);
    }
    list->setSortingEnabled(true);
    list->sortByColumn(m_sortColumn, m_sortOrder);
    list->resizeColumnToContents(2);  // a pal put off shows the day it comes back
}

void CReplyQueuePane::showEvent(QShowEvent* event) {
    MakeContents();
    QDockWidget::showEvent(event);
}

QTreeWidget* CReplyQueuePane::WaitingList() {
    MakeContents();
    return m_waiting;
}

QTreeWidget* CReplyQueuePane::QuietList() {
    MakeContents();
    return m_quiet;
}

QAction* CReplyQueuePane::QuietDaysAction() {
    MakeContents();
    return m_quietDays;
}

QAction* CReplyQueuePane::ReplyAction() {
    MakeContents();
    return m_reply;
}

QAction* CReplyQueuePane::AnsweredAction() {
    MakeContents();
    return m_answered;
}

QList<QAction*> CReplyQueuePane::SnoozeActions() {
    MakeContents();
    return m_snooze->menu()->actions();
}

int CReplyQueuePane::CurrentTab() { return m_tabs ? m_tabs->currentIndex() : 0; }

void CReplyQueuePane::SetCurrentTab(int tab) {
    MakeContents();
    if (tab >= 0 && tab < m_tabs->count()) m_tabs->setCurrentIndex(tab);
}

int CReplyQueuePane::SortColumn() { return m_sortColumn; }

bool CReplyQueuePane::SortAscending() { return m_sortOrder == Qt::AscendingOrder; }

void CReplyQueuePane::SetSort(int column, bool ascending) {
    if (column < 0 || column >= static_cast<int>(std::size(texts::kQueueColumns))) return;
    const Qt::SortOrder order = ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    if (column == m_sortColumn && order == m_sortOrder) return;
    m_sortColumn = column;
    m_sortOrder = order;
    // Both lists sort alike.
    for (QTreeWidget* list : {m_waiting, m_quiet})
        if (list) list->sortByColumn(column, order);
}

void CReplyQueuePane::Show(const ReplyQueue& queue) {
    MakeContents();
    Fill(m_waiting, queue.waiting);
    Fill(m_quiet, queue.quiet);
    m_tabs->setTabText(
        0, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(texts::kQueueWaiting)).arg(queue.waiting.size()));
    m_tabs->setTabText(1, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(texts::kQueueQuiet)).arg(queue.quiet.size()));
}

QString CReplyQueuePane::CountsText() {
    return QString::fromUtf8(texts::kQueueCounts)
        .arg(WaitingList()->topLevelItemCount())
        .arg(QuietList()->topLevelItemCount());
}
