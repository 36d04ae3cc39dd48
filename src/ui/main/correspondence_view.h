// The pane under the map: the conversation with the pal selected in the list, its mails
// both ways under their header blocks, newest at the bottom or at the top as the user
// chooses, read a page at a time as the reader scrolls back. With no pal or several
// selected it says how to get one; a pal the archive cannot show (no archive to be had)
// shows its last mail from the table, as it always did.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "archive/conversation.h"

class CYubinoApp;
class CMailEditView;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTextEdit;
class QToolButton;

class CCorrespondenceView : public QWidget {
    Q_OBJECT
public:
    // A page of the conversation with a pal (code page 932 address); none when the
    // archive cannot be read.
    using PageFn =
        std::function<std::optional<ConversationPage>(const std::string& cp932Address, ConversationOrder order,
                                                      const std::optional<CMailArchive::MailKey>& olderThan)>;
    CCorrespondenceView(const CYubinoApp& app, PageFn pages, QWidget* parent = nullptr);

    // The conversation with the pal with `address`; none shows the word that asks for one.
    void ShowPal(const std::string* address);
    // Marks every occurrence of `text` in the mails shown (letter case aside); empty clears.
    void SetHighlight(const QString& text);
    ConversationOrder Order() const;
    void SetOrder(ConversationOrder order);

    // The last received mail of the pal, from the table.
    CMailEditView* TextView() const { return m_mailView; }
    QTextEdit* ConversationText() const { return m_conversation; }
    // What the pane says instead of a conversation, while it says it.
    QString Notice() const;
    int ShownMailCount() const { return m_shownMails; }
    QPushButton* ReplyButton() const { return m_reply; }
    QPushButton* AnsweredButton() const { return m_answered; }
    QToolButton* OrderButton() const { return m_order; }

signals:
    void ReplyRequested(const std::string& cp932Address);
    void AnsweredRequested(const std::string& cp932Address);

private:
    QWidget* MakeBar();
    void ShowNotice(const QString& text);
    void ShowPage(QWidget* page);
    void LoadPage();
    void LoadAtEdge();
    void ApplyHighlight();

    const CYubinoApp& m_app;
    PageFn m_pages;
    QLabel* m_title;
    QToolButton* m_order;
    QPushButton* m_reply;
    QPushButton* m_answered;
    QStackedWidget* m_stack;
    QLabel* m_notice;
    QTextEdit* m_conversation;
    CMailEditView* m_mailView;
    QString m_highlight;
    std::optional<std::string> m_shownAddress;
    std::optional<CMailArchive::MailKey> m_next;
    int m_shownMails = 0;
    bool m_bLoading = false;
};
