// The reply queue pane: "返事待ち" (received, not answered) and "ご無沙汰" (gone quiet), each
// a sortable list; a double-click asks to select the pal.
#pragma once

#include <QDockWidget>
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

signals:
    // The table address (code page 932) of a double-clicked pal.
    void PalActivated(const std::string& address);
    // The same, for the pal whose days until quiet the user wants to set.
    void QuietDaysRequested(const std::string& address);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MakeContents();
    QTreeWidget* MakeList();
    void Fill(QTreeWidget* list, const std::vector<QueueEntry>& entries);

    const CYubinoApp& m_app;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_waiting = nullptr;
    QTreeWidget* m_quiet = nullptr;
    QAction* m_quietDays = nullptr;
};
