#include "ui/main/reply_queue_pane.h"

#include <QAction>
#include <QHeaderView>
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

// The lists are made when the pane is first shown: most sessions never open it, and
// start-up need not lay out its tabs.
void CReplyQueuePane::MakeContents() {
    if (m_tabs) return;
    m_tabs = new QTabWidget(this);
    m_quietDays = new QAction(QString::fromUtf8(texts::kMenuPalQuietDays), this);
    connect(m_quietDays, &QAction::triggered, this, [this] {
        const auto* list = qobject_cast<QTreeWidget*>(m_tabs->currentWidget());
        if (const QTreeWidgetItem* item = list ? list->currentItem() : nullptr)
            emit QuietDaysRequested(item->data(0, kAddressRole).toByteArray().toStdString());
    });
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
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setColumnWidth(0, 100);
    list->setColumnWidth(1, 150);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    list->addAction(m_quietDays);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        emit PalActivated(item->data(0, kAddressRole).toByteArray().toStdString());
    });
    return list;
}

void CReplyQueuePane::Fill(QTreeWidget* list, const std::vector<QueueEntry>& entries) {
    list->setSortingEnabled(false);
    list->clear();
    for (const QueueEntry& entry : entries) {
        const std::string address = TableAddress(entry.pal);
        CPenPal pal;
        m_app.FindPalByAddress(address, pal);
        auto* item = new CQueueItem(list);
        item->setText(0, ToQString(pal.m_strHandleName));
        item->setText(1, QString::fromUtf8(entry.pal));
        item->setText(2, QString::fromUtf8(entry.date).replace(QLatin1Char('-'), QLatin1Char('/')));
        item->setData(kDaysColumn, Qt::DisplayRole, static_cast<qlonglong>(entry.days));
        item->setData(0, kAddressRole, QByteArray::fromStdString(address));
    }
    list->setSortingEnabled(true);
    list->sortByColumn(kDaysColumn, Qt::DescendingOrder);
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
