// The main window's parts for the correspondence archive: the reply queue pane, the search
// field, "返事を書いた" and the archive's settings. The archive opens at its first use, so
// start-up never waits for it.
#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "archive/archive_seed.h"
#include "archive/pal_archive.h"
#include "archive/pal_search.h"
#include "archive/reply_draft.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/dialogs/archive_settings_dlg.h"
#include "ui/dialogs/pal_quiet_days_dlg.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/reply_queue_pane.h"
#include "ui/main/search_field.h"
#include "ui/main/yubino_view.h"
#include "ui/qt_text.h"

namespace {

QMenu* MenuTitled(QMenuBar* bar, const char* title) {
    for (QAction* action : bar->actions())
        if (action->menu() && action->text() == QString::fromUtf8(title)) return action->menu();
    return nullptr;
}

QAction* NewCommand(QObject* parent, int id, const char* menuText, const char* commandText) {
    auto* action = new QAction(QString::fromUtf8(menuText), parent);
    action->setData(id);
    if (commandText) {
        const QStringList parts = QString::fromUtf8(commandText).split(QLatin1Char('\n'));
        action->setStatusTip(parts.value(0));
        action->setToolTip(parts.value(1, parts.value(0)));
    }
    return action;
}

}  // namespace

void CMainFrame::CreateArchiveParts() {
    m_app.SetHistory(m_archive.get());

    m_queuePane = new CReplyQueuePane(m_app, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_queuePane);
    m_queuePane->hide();
    QAction* queue = m_queuePane->toggleViewAction();
    queue->setText(QString::fromUtf8(texts::kMenuReplyQueue));
    queue->setStatusTip(QString::fromUtf8(texts::kCmdReplyQueue).section(QLatin1Char('\n'), 0, 0));
    queue->setData(static_cast<int>(ID_VIEW_REPLY_QUEUE));
    connect(m_queuePane, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) RefreshQueue();
    });
    connect(m_queuePane, &CReplyQueuePane::PalActivated, this, &CMainFrame::SelectPal);
    connect(m_queuePane, &CReplyQueuePane::QuietDaysRequested, this, &CMainFrame::ShowPalQuietDays);
    m_queueCounts = new QLabel(this);
    m_queueCounts->hide();
    statusBar()->addPermanentWidget(m_queueCounts);

    QAction* answered = NewCommand(this, ID_MARK_ANSWERED, texts::kMenuMarkAnswered, texts::kCmdMarkAnswered);
    connect(answered, &QAction::triggered, this, &CMainFrame::MarkAnswered);
    QAction* settings = NewCommand(this, ID_ARCHIVE_SETTINGS, texts::kMenuArchiveSettings, texts::kCmdArchiveSettings);
    connect(settings, &QAction::triggered, this, &CMainFrame::ShowArchiveSettings);
    for (QAction* action : {queue, answered, settings}) m_actions[action->data().toInt()] = action;

    if (QMenu* view = MenuTitled(menuBar(), texts::kMenuView)) {
        view->addSeparator();
        view->addAction(queue);
    }
    QMenu* tools = MenuTitled(menuBar(), texts::kMenuTools);
    CreateReplyCommands(tools);
    if (tools) {
        tools->addAction(answered);
        tools->addAction(settings);
    }

    m_searchField = new CSearchField(this);
    connect(m_searchField, &QLineEdit::textChanged, this, &CMainFrame::ApplySearch);
    QAction* find = NewCommand(this, ID_FIND, texts::kSearchPlaceholder, nullptr);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        m_searchField->setFocus();
        m_searchField->selectAll();
    });
    addAction(find);
    m_actions[ID_FIND] = find;
    m_toolBar->addSeparator();
    m_toolBar->addAction(queue);
    m_toolBar->addWidget(m_searchField);
}

void CMainFrame::RefreshQueue() {
    if (!m_queuePane || !m_queuePane->isVisible()) return;
    m_queuePane->Show(m_archive->Queue(CalendarDay::Today()));
    m_queueCounts->setText(m_queuePane->CountsText());
    m_queueCounts->show();
}

void CMainFrame::MatchSearch() {
    if (!m_searchField) return;
    const QString text = m_searchField->text();
    m_app.m_bSearchActive = !text.isEmpty();
    m_app.m_searchMatches.clear();
    if (m_app.m_bSearchActive)
        m_app.m_searchMatches = PalsMatchingSearch(m_app, m_archive->Archive(), text.toStdString());
}

void CMainFrame::ApplySearch(const QString& text) {
    m_correspondence->SetHighlight(text);
    UpdateListView();
    UpdateMapView();
}

void CMainFrame::SelectPal(const std::string& address) {
    auto rowOf = [this, &address]() -> int {
        const std::vector<CPenPal>& rows = m_listView->Model().Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].m_strMailAddress == address) return static_cast<int>(i);
        return -1;
    };
    int row = rowOf();
    if (row < 0 && m_searchField && !m_searchField->text().isEmpty()) {
        m_searchField->clear();  // the pal is hidden by the search
        row = rowOf();
    }
    if (row < 0) return;
    const QModelIndex index = m_listView->Model().index(row, 0);
    m_listView->Selection().setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_listView->ActiveView().scrollTo(index);
    UpdateMapView();
}

void CMainFrame::MarkAnswered() { MarkAnsweredFor(m_listView->SelectedAddresses()); }

void CMainFrame::ShowArchiveSettings() {
    if (!m_archive->Writable()) {
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
        return;
    }
    CMailArchive& archive = *m_archive->Archive();
    try {
        CArchiveSettingsDlg dialog(this);
        dialog.SetOwnAddresses(archive.OwnAddresses());
        dialog.SetQuietDays(archive.DefaultQuietDays());
        dialog.SetGreetings(ReadSeasonalGreetings(archive));
        if (dialog.exec() != QDialog::Accepted) return;
        archive.SetOwnAddresses(dialog.OwnAddresses());
        archive.SetDefaultQuietDays(dialog.QuietDays());
        WriteSeasonalGreetings(archive, dialog.Greetings());
    } catch (const CSqliteError&) {
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
    }
    RefreshQueue();
}

void CMainFrame::ShowPalQuietDays(const std::string& address) {
    if (!m_archive->Writable()) {
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
        return;
    }
    CPenPal pal;
    if (!m_app.FindPalByAddress(address, pal)) return;
    CMailArchive& archive = *m_archive->Archive();
    const std::string archived = ArchiveAddress(address);
    try {
        CPalQuietDaysDlg dialog(ToQString(pal.m_strHandleName), archive.DefaultQuietDays(),
                                archive.PalQuietDays(archived), this);
        if (dialog.exec() != QDialog::Accepted) return;
        archive.SetPalQuietDays(archived, dialog.OwnDays());
    } catch (const CSqliteError&) {
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
    }
    RefreshQueue();
}
