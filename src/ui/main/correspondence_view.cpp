#include "ui/main/correspondence_view.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/main/conversation_document.h"
#include "ui/main/mail_edit_view.h"
#include "ui/qt_text.h"

namespace {

// Marks every occurrence of `text` in a text view (QTextEdit or QPlainTextEdit).
template <class View>
void MarkAll(View& view, const QString& text) {
    QTextCharFormat format;
    format.setBackground(QColor(255, 230, 120));
    QList<QTextEdit::ExtraSelection> marks;
    if (!text.isEmpty()) {
        QTextCursor found = view.document()->find(text);
        while (!found.isNull()) {
            marks.append({found, format});
            found = view.document()->find(text, found);
        }
    }
    view.setExtraSelections(marks);
}

}  // namespace

CCorrespondenceView::CCorrespondenceView(const CYubinoApp& app, PageFn pages, QWidget* parent)
    : QWidget(parent), m_app(app), m_pages(std::move(pages)) {
    m_stack = new QStackedWidget(this);
    m_notice = new QLabel(m_stack);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_notice->setForegroundRole(QPalette::PlaceholderText);
    m_notice->setAutoFillBackground(true);
    m_notice->setBackgroundRole(QPalette::Base);
    m_conversation = new QTextEdit(m_stack);
    m_conversation->setReadOnly(true);
    m_conversation->setFrameShape(QFrame::NoFrame);
    m_conversation->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_conversation->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_conversation->setWhatsThis(QString::fromUtf8(texts::kConversationHelp));
    m_mailView = new CMailEditView(app, m_stack);
    for (QWidget* page :
         {static_cast<QWidget*>(m_notice), static_cast<QWidget*>(m_conversation), static_cast<QWidget*>(m_mailView)})
        m_stack->addWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(MakeBar());
    layout->addWidget(m_stack, 1);
    QScrollBar* bar = m_conversation->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &CCorrespondenceView::LoadAtEdge);
    connect(bar, &QScrollBar::rangeChanged, this, &CCorrespondenceView::LoadAtEdge);
    ShowPal(nullptr);
}

QWidget* CCorrespondenceView::MakeBar() {
    auto* bar = new QWidget(this);
    m_title = new QLabel(bar);
    m_title->setTextFormat(Qt::PlainText);
    m_order = new QToolButton(bar);
    m_order->setText(QString::fromUtf8(texts::kConversationNewestOnTop));
    m_order->setToolTip(QString::fromUtf8(texts::kConversationNewestOnTopTip));
    m_order->setCheckable(true);
    m_reply = new QPushButton(QString::fromUtf8(texts::kConversationWriteReply), bar);
    m_answered = new QPushButton(QString::fromUtf8(texts::kConversationAnswered), bar);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_title, 1);
    for (QWidget* control :
         {static_cast<QWidget*>(m_order), static_cast<QWidget*>(m_reply), static_cast<QWidget*>(m_answered)})
        layout->addWidget(control);
    connect(m_order, &QToolButton::toggled, this, [this] {
        const std::optional<std::string> address = m_shownAddress;
        ShowPal(address ? &*address : nullptr);
    });
    connect(m_reply, &QPushButton::clicked, this, [this] {
        if (m_shownAddress) emit ReplyRequested(*m_shownAddress);
    });
    connect(m_answered, &QPushButton::clicked, this, [this] {
        if (m_shownAddress) emit AnsweredRequested(*m_shownAddress);
    });
    return bar;
}

ConversationOrder CCorrespondenceView::Order() const {
    return m_order->isChecked() ? ConversationOrder::NewestAtTop : ConversationOrder::NewestAtBottom;
}

void CCorrespondenceView::SetOrder(ConversationOrder order) {
    m_order->setChecked(order == ConversationOrder::NewestAtTop);
}

QString CCorrespondenceView::Notice() const {
    return m_stack->currentWidget() == m_notice ? m_notice->text() : QString();
}

void CCorrespondenceView::ShowPage(QWidget* page) {
    const bool hadFocus = m_stack->currentWidget() && m_stack->currentWidget()->hasFocus();
    m_stack->setCurrentWidget(page);
    setFocusProxy(page);
    if (hadFocus) page->setFocus();
}

void CCorrespondenceView::ShowNotice(const QString& text) {
    m_notice->setText(text);
    ShowPage(m_notice);
}

void CCorrespondenceView::ShowPal(const std::string* address) {
    // The mail view keeps its start-up placeholder until a pal is first shown.
    if (address || m_shownAddress) m_mailView->ShowMailOf(address);
    m_shownAddress = address ? std::optional<std::string>(*address) : std::nullopt;
    m_next.reset();
    m_shownMails = 0;
    m_conversation->clear();
    CPenPal pal;
    const bool known = address && m_app.FindPalByAddress(*address, pal);
    m_title->setText(known ? ToQString(pal.m_strHandleName) : QString());
    m_reply->setEnabled(known);
    m_answered->setEnabled(known);
    if (!known) {
        ShowNotice(QString::fromUtf8(texts::kConversationChoosePal));
        return;
    }
    const std::optional<ConversationPage> first = m_pages(*address, Order(), std::nullopt);
    if (!first) {
        ShowPage(m_mailView);  // no archive to be had: the table's last mail
        return;
    }
    if (first->mails.empty()) {
        ShowNotice(QString::fromUtf8(texts::kConversationNoMail).arg(ToQString(pal.m_strHandleName)));
        return;
    }
    ShowPage(m_conversation);
    InsertConversationPage(*m_conversation->document(), *first, m_conversation->palette());
    m_shownMails = static_cast<int>(first->mails.size());
    m_next = first->next;
    QScrollBar* bar = m_conversation->verticalScrollBar();
    m_conversation->document()->documentLayout()->documentSize();  // the bar knows the whole page now
    bar->setValue(first->goesOnTop ? bar->maximum() : bar->minimum());
    ApplyHighlight();
    LoadAtEdge();
}

// The next page comes when the reader reaches the end where older mails wait, or while
// the mails shown do not fill the pane.
void CCorrespondenceView::LoadAtEdge() {
    if (!m_next || m_bLoading || m_stack->currentWidget() != m_conversation) return;
    const QScrollBar* bar = m_conversation->verticalScrollBar();
    const bool olderAbove = Order() == ConversationOrder::NewestAtBottom;
    if (bar->maximum() > bar->minimum() && bar->value() != (olderAbove ? bar->minimum() : bar->maximum())) return;
    LoadPage();
}

void CCorrespondenceView::LoadPage() {
    const std::optional<ConversationPage> page = m_pages(*m_shownAddress, Order(), m_next);
    m_next.reset();
    if (!page) return;
    m_bLoading = true;
    QScrollBar* bar = m_conversation->verticalScrollBar();
    // Mails put above keep the reader's place: the distance from the end stays.
    const int fromEnd = bar->maximum() - bar->value();
    InsertConversationPage(*m_conversation->document(), *page, m_conversation->palette());
    m_conversation->document()->documentLayout()->documentSize();
    if (page->goesOnTop) bar->setValue(bar->maximum() - fromEnd);
    m_shownMails += static_cast<int>(page->mails.size());
    m_next = page->next;
    ApplyHighlight();
    m_bLoading = false;
    LoadAtEdge();
}

void CCorrespondenceView::SetHighlight(const QString& text) {
    m_highlight = text;
    ApplyHighlight();
}

void CCorrespondenceView::ApplyHighlight() {
    MarkAll(*m_conversation, m_highlight);
    MarkAll(*m_mailView, m_highlight);
}
