#include "ui/main/mail_hit_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/texts.h"

namespace {

QToolButton* HitButton(const char* text, const char* tip, Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(QString::fromUtf8(text));
    button->setToolTip(QString::fromUtf8(tip));
    button->setArrowType(arrow);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

CMailHitView::CMailHitView(QWidget* parent) : QWidget(parent) {
    m_position = new QLabel(this);
    m_previous = HitButton(texts::kSearchPreviousHit, texts::kSearchPreviousHitTip, Qt::UpArrow, this);
    m_next = HitButton(texts::kSearchNextHit, texts::kSearchNextHitTip, Qt::DownArrow, this);
    connect(m_previous, &QToolButton::clicked, this, &CMailHitView::PreviousHit);
    connect(m_next, &QToolButton::clicked, this, &CMailHitView::NextHit);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setAccessibleName(QString::fromUtf8(texts::kSearchMailViewName));
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_position, 1);
    bar->addWidget(m_previous);
    bar->addWidget(m_next);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_text, 1);
    ShowNothing(QString());
}

void CMailHitView::ShowText(const QString& text, const std::vector<TextSpan>& hits) {
    m_text->setPlainText(text);
    m_hits.clear();
    for (const TextSpan& hit : hits)
        if (hit.begin < hit.end && hit.end <= static_cast<std::size_t>(text.size())) m_hits.push_back(hit);
    MoveTo(m_hits.empty() ? -1 : 0);
}

void CMailHitView::ShowNothing(const QString& word) { ShowText(word, {}); }

void CMailHitView::NextHit() {
    if (!m_hits.empty()) MoveTo((m_current + 1) % HitCount());
}

void CMailHitView::PreviousHit() {
    if (!m_hits.empty()) MoveTo((m_current + HitCount() - 1) % HitCount());
}

QString CMailHitView::CurrentHitText() const {
    if (m_current < 0) return QString();
    const TextSpan& hit = m_hits[static_cast<std::size_t>(m_current)];
    return m_text->toPlainText().mid(static_cast<int>(hit.begin), static_cast<int>(hit.end - hit.begin));
}

void CMailHitView::MoveTo(int hit) {
    m_current = hit;
    m_previous->setEnabled(HitCount() > 1);
    m_next->setEnabled(HitCount() > 1);
    m_position->setText(hit < 0 ? QString()
                                : QString::fromUtf8(texts::kSearchHitPosition).arg(hit + 1).arg(HitCount()));
    Mark();
    QTextCursor cursor(m_text->document());
    if (hit >= 0) cursor.setPosition(static_cast<int>(m_hits[static_cast<std::size_t>(hit)].begin));
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
}

// Every hit in yellow, the current one in orange.
void CMailHitView::Mark() {
    QTextCharFormat other;
    other.setBackground(QColor(255, 230, 120));
    QTextCharFormat current = other;
    current.setBackground(QColor(255, 160, 60));
    QList<QTextEdit::ExtraSelection> marks;
    for (std::size_t i = 0; i < m_hits.size(); ++i) {
        QTextCursor cursor(m_text->document());
        cursor.setPosition(static_cast<int>(m_hits[i].begin));
        cursor.setPosition(static_cast<int>(m_hits[i].end), QTextCursor::KeepAnchor);
        marks.append({cursor, static_cast<int>(i) == m_current ? current : other});
    }
    m_text->setExtraSelections(marks);
}
