// The main window acting on the reply queue: "返事を書く" hands a reply to the mail
// program, "返事を書いた" and "あとで" are kept in the archive as steps that can be undone.
#include <QAction>
#include <QMenu>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/features/features.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/reply_queue_pane.h"
#include "ui/main/undo_history.h"
#include "ui/main/yubino_view.h"
#include "ui/qt_text.h"

namespace {

// "返事を書いた (ゆきうさぎ)", or the count for several pals.
QString StepName(const char* step, CYubinoApp& app, const std::vector<std::string>& addresses) {
    CPenPal pal;
    const QString who = addresses.size() == 1 && app.FindPalByAddress(addresses.front(), pal)
                            ? ToQString(pal.m_strHandleName)
                            : QString::fromUtf8(texts::kPalCount).arg(addresses.size());
    return QString::fromUtf8(step).arg(who);
}

}  // namespace

void CMainFrame::CreateReplyCommands(QMenu* tools) {
    auto* reply = new QAction(QString::fromUtf8(texts::kMenuWriteReply), this);
    reply->setData(static_cast<int>(ID_WRITE_REPLY));
    reply->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    reply->setStatusTip(QString::fromUtf8(texts::kCmdWriteReply).section(QLatin1Char('\n'), 0, 0));
    connect(reply, &QAction::triggered, this, &CMainFrame::WriteReplyToSelected);
    addAction(reply);
    m_actions[ID_WRITE_REPLY] = reply;
    if (tools) tools->addAction(reply);

    connect(m_queuePane, &CReplyQueuePane::ReplyRequested, this, &CMainFrame::WriteReply);
    connect(m_correspondence, &CCorrespondenceView::ReplyRequested, this, &CMainFrame::WriteReply);
    connect(m_correspondence, &CCorrespondenceView::AnsweredRequested, this,
            [this](const std::string& address) { MarkAnsweredFor({address}); });
    connect(m_queuePane, &CReplyQueuePane::AnsweredRequested, this,
            [this](const std::string& address) { MarkAnsweredFor({address}); });
    connect(m_queuePane, &CReplyQueuePane::SnoozeRequested, this, &CMainFrame::SnoozePal);
}

void CMainFrame::WriteReply(const std::string& address) {
    CPenPal pal;
    if (!m_app.FindPalByAddress(address, pal)) return;
    if (CFeatures* features = Features()) features->WriteReply(pal);
}

void CMainFrame::WriteReplyToSelected() {
    const std::vector<std::string> selected = m_listView->SelectedAddresses();
    if (selected.size() == 1) WriteReply(selected.front());
}

void CMainFrame::MarkAnsweredFor(const std::vector<std::string>& addresses) {
    if (addresses.empty()) return;
    CFeatures* features = Features();
    if (!features || !features->ArchiveWritable()) return;
    const std::string now = features->Now();
    const auto mark = [this, features, addresses, now] {
        features->MarkAnswered(addresses, now);
        RefreshQueue();
        OnSelectionChanged();
    };
    const auto unmark = [this, features, addresses, now] {
        features->UnmarkAnswered(addresses, now);
        RefreshQueue();
        OnSelectionChanged();
    };
    mark();
    m_history->PushDone(StepName(texts::kStepMarkAnswered, m_app, addresses), unmark, mark);
}

void CMainFrame::SnoozePal(const std::string& address, int days) {
    CFeatures* features = Features();
    if (!features) return;
    const std::optional<CalendarDay> before = features->SnoozedUntil(address);
    const CalendarDay until{CalendarDay::Today().number + days};
    const auto snooze = [this, features, address](std::optional<CalendarDay> day) {
        features->Snooze(address, day);
        RefreshQueue();
    };
    if (!features->Snooze(address, until)) return;
    RefreshQueue();
    m_history->PushDone(
        StepName(texts::kStepSnooze, m_app, {address}), [snooze, before] { snooze(before); },
        [snooze, until] { snooze(until); });
}
