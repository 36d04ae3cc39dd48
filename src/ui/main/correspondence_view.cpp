#include "ui/main/correspondence_view.h"

#include <QHeaderView>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeWidget>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/main/mail_edit_view.h"

namespace {

constexpr int kBodyRole = Qt::UserRole;

QString FirstLine(const std::string& body) {
    const QString text = QString::fromUtf8(body).trimmed();
    return text.section(QLatin1Char('\n'), 0, 0);
}

// "2026-12-07T09:30:00" as "2026/12/07 09:30".
QString ShownDate(const std::string& date) {
    QString text = QString::fromUtf8(date).left(16);
    text.replace(QLatin1Char('-'), QLatin1Char('/'));
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    return text;
}

}  // namespace

CCorrespondenceView::CCorrespondenceView(const CYubinoApp& app, MailsFn mails, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), m_app(app), m_mails(std::move(mails)) {
    m_text = new CMailEditView(app, this);
    addWidget(m_text);
    setChildrenCollapsible(false);
}

// The list is made for the first pal with mails in the archive: a hidden list still lays
// out its header, which start-up need not wait for.
QTreeWidget* CCorrespondenceView::List() {
    if (m_list) return m_list;
    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    QStringList headers;
    for (const char* title : texts::kMailListColumns) headers << QString::fromUtf8(title);
    m_list->setHeaderLabels(headers);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 125);
    m_list->setColumnWidth(1, 36);
    m_list->setColumnWidth(2, 120);
    insertWidget(0, m_list);
    setSizes({120, 280});
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CCorrespondenceView::ShowChosenMail);
    return m_list;
}

void CCorrespondenceView::Refresh() {
    if (!m_shownAddress) return;
    CPenPal pal;
    const std::string address = *m_shownAddress;
    ShowPal(m_app.FindPalByAddress(address, pal) ? &address : nullptr);
}

void CCorrespondenceView::ShowPal(const std::string* address) {
    m_shownAddress = address ? std::optional<std::string>(*address) : std::nullopt;
    if (m_list) m_list->clear();
    const std::vector<StoredMail> mails = address ? m_mails(*address) : std::vector<StoredMail>();
    if (mails.empty()) {
        if (m_list) m_list->hide();
        m_text->ShowMailOf(address);
        ApplyHighlight();
        return;
    }
    QTreeWidget* list = List();
    QTreeWidgetItem* chosen = nullptr;
    for (const StoredMail& stored : mails) {
        const MailRecord& mail = stored.mail;
        const bool received = mail.direction == MailDirection::Received;
        auto* item = new QTreeWidgetItem(
            list, {ShownDate(mail.date), QString::fromUtf8(received ? texts::kMailReceived : texts::kMailSent),
                   QString::fromUtf8(mail.subject), FirstLine(mail.body)});
        item->setData(0, kBodyRole, QString::fromUtf8(mail.body));
        if (received && !chosen) chosen = item;
    }
    list->show();
    list->setCurrentItem(chosen ? chosen : list->topLevelItem(0));
}

void CCorrespondenceView::ShowChosenMail() {
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item) return;
    // Trailing blank lines are cut, as for the table's last mail.
    QString body = item->data(0, kBodyRole).toString();
    while (!body.isEmpty() && body.back() <= QLatin1Char(' ')) body.chop(1);
    m_text->setPlainText(body);
    ApplyHighlight();
}

void CCorrespondenceView::SetHighlight(const QString& text) {
    m_highlight = text;
    ApplyHighlight();
}

void CCorrespondenceView::ApplyHighlight() {
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_highlight.isEmpty()) {
        QTextCharFormat format;
        format.setBackground(QColor(255, 230, 120));
        QTextCursor found = m_text->document()->find(m_highlight);
        while (!found.isNull()) {
            marks.append({found, format});
            found = m_text->document()->find(m_highlight, found);
        }
    }
    m_text->setExtraSelections(marks);
}
