// The reply queue pane: "返事待ち" (received, not answered) and "ご無沙汰" (gone quiet), each
// a sortable list. A click asks to select the pal; Enter to write the reply; the context
// menu also marks it answered, puts it off ("あとで") and sets its days until quiet.
#pragma once

#include <QDockWidget>
#include <QList>
#include <string>

#include "archive/reply_queue.h"

class CYubinoApp;
class QAction;
class QTabWidget;
class QTreeWidget;

class CReplyQueuePane : public QDockWidget {
    Q_OBJECT
public:
    explicit CReplyQueuePane(const CYubinoApp& app, QWidget* parent = nullptr);

    // Shows `queue` (addresses in UTF-8) with the pals' handle names from the table.
    void Show(const ReplyQueue& queue);
    QTreeWidget* WaitingList();
    QTreeWidget* QuietList();
    // "返事待ち N 人、ご無沙汰 M 人".
    QString CountsText();
    // The lists' context menu command for the chosen pal's days until quiet.
    QAction* QuietDaysAction();
    QAction* ReplyAction();
    QAction* AnsweredAction();
    // "あとで" for each choice of days (kSnoozeDays).
    QList<QAction*> SnoozeActions();

    // The list shown and the lists' sort, as the window state keeps them.
    int CurrentTab();
    void SetCurrentTab(int tab);
    int SortColumn();
    bool SortAscending();
    void SetSort(int column, bool ascending);

signals:
    // The table address (code page 932) of a double-clicked pal.
    void PalActivated(const std::string& address);
    // The same, for the pal whose days until quiet the user wants to set.
    void QuietDaysRequested(const std::string& address);
    void ReplyRequested(const std::string& address);
    void AnsweredRequested(const std::string& address);
    void SnoozeRequested(const std::string& address, int days);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MakeContents();
    QTreeWidget* MakeList();
    void Fill(QTreeWidget* list, const std::vector<QueueEntry>& entries);
    QAction* ChosenPalAction(const char* text, void (CReplyQueuePane::*signal)(const std::string&));
    // The table address of the chosen pal in the list shown; empty when none is chosen.
    std::string ChosenAddress() const;

    const CYubinoApp& m_app;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_waiting = nullptr;
    QTreeWidget* m_quiet = nullptr;
    QAction* m_quietDays = nullptr;
    QAction* m_reply = nullptr;
    QAction* m_answered = nullptr;
    QAction* m_snooze = nullptr;
    int m_sortColumn = 3;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
};
