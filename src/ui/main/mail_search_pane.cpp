#include "ui/main/mail_search_pane.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "archive/archive_seed.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/main/mail_hit_view.h"
#include "ui/qt_text.h"

namespace {

constexpr int kHitRole = Qt::UserRole;              // the row's place in the results
constexpr int kSnippetHitsRole = Qt::UserRole + 1;  // begin, end, begin, end, ... in UTF-16
constexpr int kSnippetColumn = 4;
const QColor kHitColour(255, 230, 120);

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// "2026-12-07T09:30:00" as "2026/12/07 09:30".
QString ShownDateTime(const std::string& date) {
    const QDateTime when = QDateTime::fromString(Utf8(date), Qt::ISODate);
    return when.isValid() ? when.toString(QStringLiteral("yyyy/MM/dd HH:mm")) : Utf8(date);
}

QString DirectionText(MailDirection direction) {
    return QString::fromUtf8(direction == MailDirection::Sent ? texts::kMailSent : texts::kMailReceived);
}

// The snippet with its hits on a background of their own.
class CSnippetDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        QStyle* style = item.widget ? item.widget->style() : nullptr;
        if (!style) return QStyledItemDelegate::paint(painter, option, index);
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
        QTextLayout layout(text, item.font);
        QList<QTextLayout::FormatRange> marks;
        const QList<int> hits = index.data(kSnippetHitsRole).value<QList<int>>();
        for (qsizetype i = 0; i + 1 < hits.size(); i += 2) {
            QTextCharFormat mark;
            mark.setBackground(kHitColour);
            mark.setForeground(QColor(Qt::black));
            marks.append({hits[i], hits[i + 1] - hits[i], mark});
        }
        layout.setFormats(marks);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        layout.endLayout();
        painter->save();
        painter->setClipRect(area);
        const bool selected = item.state & QStyle::State_Selected;
        painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        layout.draw(painter, QPointF(area.left() + 3, area.top() + (area.height() - line.height()) / 2));
        painter->restore();
    }
};

QList<int> Flat(const std::vector<TextSpan>& spans) {
    QList<int> flat;
    for (const TextSpan& span : spans) flat << static_cast<int>(span.begin) << static_cast<int>(span.end);
    return flat;
}

std::vector<TextSpan> Shifted(std::vector<TextSpan> spans, std::size_t by) {
    for (TextSpan& span : spans) span = {span.begin + by, span.end + by};
    return spans;
}

}  // namespace

CMailSearchPane::CMailSearchPane(const CYubinoApp& app, SearchFn search, QWidget* parent)
    : QDockWidget(QString::fromUtf8(texts::kSearchPaneTitle), parent),
      m_app(app),
      m_search(std::move(search)),
      m_limit(kSearchPage) {
    setObjectName(QStringLiteral("mailSearchPane"));
    auto* contents = new QWidget(this);
    m_summary = new QLabel(contents);
    m_more = new QPushButton(QString::fromUtf8(texts::kSearchMore), contents);
    m_more->hide();
    connect(m_more, &QPushButton::clicked, this, [this] {
        m_limit += kSearchPage;
        Run();
    });
    m_results = new QTreeWidget(contents);
    m_results->setAccessibleName(QString::fromUtf8(texts::kSearchPaneTitle));
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    QStringList headers;
    for (const char* title : texts::kSearchColumns) headers << QString::fromUtf8(title);
    m_results->setHeaderLabels(headers);
    for (int column : {0, 1, 2, 3}) m_results->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_results->header()->setStretchLastSection(true);
    m_results->setItemDelegateForColumn(kSnippetColumn, new CSnippetDelegate(m_results));
    connect(m_results, &QTreeWidget::currentItemChanged, this, &CMailSearchPane::ShowChosen);
    m_mailView = new CMailHitView(contents);

    m_nextHit = new QAction(QString::fromUtf8(texts::kSearchNextHit), this);
    m_nextHit->setShortcut(QKeySequence(Qt::Key_F3));
    m_previousHit = new QAction(QString::fromUtf8(texts::kSearchPreviousHit), this);
    m_previousHit->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    connect(m_nextHit, &QAction::triggered, m_mailView, &CMailHitView::NextHit);
    connect(m_previousHit, &QAction::triggered, m_mailView, &CMailHitView::PreviousHit);
    addAction(m_nextHit);
    addAction(m_previousHit);

    auto* counts = new QHBoxLayout;
    counts->addWidget(m_summary, 1);
    counts->addWidget(m_more);
    auto* left = new QWidget(contents);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(MakeFilterBar());
    leftLayout->addLayout(counts);
    leftLayout->addWidget(m_results, 1);
    auto* split = new QSplitter(Qt::Horizontal, contents);
    split->addWidget(left);
    split->addWidget(m_mailView);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(contents);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(split);
    setWidget(contents);
}

QWidget* CMailSearchPane::MakeFilterBar() {
    auto* bar = new QWidget(this);
    m_pal = new QComboBox(bar);
    m_pal->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_direction = new QComboBox(bar);
    for (const char* direction : texts::kSearchDirections) m_direction->addItem(QString::fromUtf8(direction));
    m_period = new QCheckBox(QString::fromUtf8(texts::kSearchPeriod), bar);
    const QDate today = QDate::currentDate();
    m_since = new QDateEdit(today.addYears(-1), bar);
    m_until = new QDateEdit(today, bar);
    for (QDateEdit* day : {m_since, m_until}) {
        day->setCalendarPopup(true);
        day->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
        day->setEnabled(false);
        connect(day, &QDateEdit::dateChanged, this, &CMailSearchPane::Run);
    }
    connect(m_period, &QCheckBox::toggled, this, [this](bool on) {
        m_since->setEnabled(on);
        m_until->setEnabled(on);
        Run();
    });
    connect(m_pal, &QComboBox::currentIndexChanged, this, &CMailSearchPane::Run);
    connect(m_direction, &QComboBox::currentIndexChanged, this, &CMailSearchPane::Run);
    auto* palLabel = new QLabel(QString::fromUtf8(texts::kSearchPalLabel), bar);
    palLabel->setBuddy(m_pal);
    auto* directionLabel = new QLabel(QString::fromUtf8(texts::kSearchDirectionLabel), bar);
    directionLabel->setBuddy(m_direction);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(palLabel);
    layout->addWidget(m_pal);
    layout->addWidget(directionLabel);
    layout->addWidget(m_direction);
    layout->addWidget(m_period);
    layout->addWidget(m_since);
    layout->addWidget(new QLabel(QString::fromUtf8(texts::kSearchPeriodTo), bar));
    layout->addWidget(m_until);
    layout->addStretch(1);
    return bar;
}

void CMailSearchPane::Search(const QString& text, const std::set<std::string>& cp932Pals) {
    // A pane the user closed stays closed until the search changes.
    if (text == m_text && isHidden()) return;
    if (text != m_text) m_limit = kSearchPage;
    m_text = text;
    FillPalFilter(cp932Pals);
    Run();
    show();
}

void CMailSearchPane::EndSearch() {
    m_text.clear();
    hide();
}

void CMailSearchPane::FocusResults() {
    m_results->setFocus();
    if (!m_results->currentItem() && m_results->topLevelItemCount() > 0)
        m_results->setCurrentItem(m_results->topLevelItem(0));
}

// The pals in the table's order, by handle name; the one chosen stays while it has hits.
void CMailSearchPane::FillPalFilter(const std::set<std::string>& cp932Pals) {
    const QByteArray chosen = m_pal->currentData().toByteArray();
    const QSignalBlocker quiet(m_pal);
    m_pal->clear();
    m_pal->addItem(QString::fromUtf8(texts::kSearchAllPals));
    for (const CPenPal& pal : m_app.Pals()) {
        if (!cp932Pals.contains(pal.m_strMailAddress)) continue;
        m_pal->addItem(ToQString(pal.m_strHandleName), QByteArray::fromStdString(pal.m_strMailAddress));
    }
    m_pal->setCurrentIndex(std::max(0, m_pal->findData(chosen)));
}

MailSearchFilter CMailSearchPane::Filter() const {
    MailSearchFilter filter;
    if (m_pal->currentIndex() > 0) filter.pal = ArchiveAddress(m_pal->currentData().toByteArray().toStdString());
    if (m_direction->currentIndex() > 0)
        filter.direction = m_direction->currentIndex() == 1 ? MailDirection::Received : MailDirection::Sent;
    if (m_period->isChecked()) {
        const QDate since = m_since->date(), until = m_until->date();
        filter.since = CalendarDay::FromDate(since.year(), since.month(), since.day());
        filter.until = CalendarDay::FromDate(until.year(), until.month(), until.day());
    }
    return filter;
}

void CMailSearchPane::Run() {
    if (m_text.isEmpty()) return;
    const std::optional<MailSearchResults> results = m_search(m_text.toStdString(), Filter(), m_limit);
    if (!results) {
        Fill({});
        m_summary->setText(QString::fromUtf8(texts::kSearchFailed));
        return;
    }
    Fill(*results);
}

void CMailSearchPane::Fill(const MailSearchResults& results) {
    // The mail chosen stays chosen while it is found.
    const QTreeWidgetItem* current = m_results->currentItem();
    const std::int64_t chosen = current ? m_hits[current->data(0, kHitRole).toULongLong()].stored.id : 0;
    m_hits = results.hits;
    const QSignalBlocker quiet(m_results);
    m_results->clear();
    QTreeWidgetItem* again = nullptr;
    for (std::size_t i = 0; i < m_hits.size(); ++i) {
        const MailSearchHit& hit = m_hits[i];
        const MailRecord& mail = hit.stored.mail;
        CPenPal pal;
        const QString palName =
            m_app.FindPalByAddress(TableAddress(mail.pal), pal) ? ToQString(pal.m_strHandleName) : Utf8(mail.pal);
        auto* item = new QTreeWidgetItem(m_results, {ShownDateTime(mail.date), palName, DirectionText(mail.direction),
                                                     Utf8(mail.subject), Utf8(hit.snippet.text)});
        item->setData(0, kHitRole, QVariant::fromValue(static_cast<qulonglong>(i)));
        item->setData(kSnippetColumn, kSnippetHitsRole,
                      QVariant::fromValue(Flat(SpansInUtf16(hit.snippet.text, hit.snippet.hits))));
        if (hit.stored.id == chosen) again = item;
    }
    const int count = static_cast<int>(m_hits.size());
    m_summary->setText(count == 0     ? QString::fromUtf8(texts::kSearchNoMail)
                       : results.more ? QString::fromUtf8(texts::kSearchFoundMore).arg(count)
                                      : QString::fromUtf8(texts::kSearchFound).arg(count));
    m_more->setVisible(results.more);
    m_results->setCurrentItem(again ? again : m_results->topLevelItem(0));
    ShowChosen();
}

// The chosen mail's header lines and body, the hits of its subject and body marked.
void CMailSearchPane::ShowChosen() {
    const QTreeWidgetItem* item = m_results->currentItem();
    if (!item) {
        m_mailView->ShowNothing(QString::fromUtf8(m_hits.empty() ? texts::kSearchNoMail : texts::kSearchChooseResult));
        return;
    }
    const MailSearchHit& hit = m_hits[item->data(0, kHitRole).toULongLong()];
    const MailRecord& mail = hit.stored.mail;
    QString text = QString::fromUtf8(texts::kSearchHeaderDate) + item->text(0) + QLatin1Char('\n') +
                   QString::fromUtf8(texts::kSearchHeaderPal) + item->text(1) + QStringLiteral(" <") + Utf8(mail.pal) +
                   QStringLiteral("> (") + item->text(2) + QStringLiteral(")\n") +
                   QString::fromUtf8(texts::kSearchHeaderSubject);
    std::vector<TextSpan> hits = Shifted(SpansInUtf16(mail.subject, hit.subjectHits), text.size());
    text += Utf8(mail.subject) + QStringLiteral("\n\n");
    const std::vector<TextSpan> body = Shifted(SpansInUtf16(mail.body, hit.bodyHits), text.size());
    hits.insert(hits.end(), body.begin(), body.end());
    text += Utf8(mail.body);
    m_mailView->ShowText(text, hits);
}
