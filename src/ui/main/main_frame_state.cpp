// The window as the user left it: its place and size, the splits, the list's form,
// columns and sort, the map shown, and the data files opened last.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTreeView>

#include "core/texts.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/reply_queue_pane.h"
#include "ui/main/yubino_view.h"
#include "ui/window_fit.h"

namespace fs = std::filesystem;

namespace {

std::vector<int> ToVector(const QList<int>& sizes) { return {sizes.begin(), sizes.end()}; }

// Two panes of a splitter, each at least one pixel.
void RestoreSplit(QSplitter& splitter, const std::vector<int>& sizes) {
    if (sizes.size() == 2 && sizes[0] > 0 && sizes[1] > 0) splitter.setSizes({sizes[0], sizes[1]});
}

int ViewCommand(int mode) {
    switch (mode) {
        case kLargeIcons:
            return ID_VIEW_LARGE_ICONS;
        case kSmallIcons:
            return ID_VIEW_SMALL_ICONS;
        case kListMode:
            return ID_VIEW_LIST;
        default:
            return ID_VIEW_DETAILS;
    }
}

}  // namespace

void CMainFrame::LoadWindowState(const fs::path& stateFile) {
    m_stateFile = stateFile;
    m_windowState = ReadWindowState(stateFile);
    if (!m_windowState.geometry.empty()) {
        restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(m_windowState.geometry)));
        FitIntoScreen(*this);
    }
    if (m_windowState.map >= 0 && m_windowState.map < m_mapCombo->count())
        m_mapCombo->setCurrentIndex(m_windowState.map);
    RebuildRecentMenu();
}

void CMainFrame::ApplyWindowState() {
    const WindowState& state = m_windowState;
    // Shown now, the window's frame counts too. Only a size the user left is fitted.
    if (isVisible() && !state.geometry.empty()) FitIntoScreen(*this);
    RestoreSplit(*m_splitter, state.mainSplit);
    RestoreSplit(*m_subSplitter, state.leftSplit);
    if (state.viewMode >= 0) Execute(ViewCommand(state.viewMode));
    QHeaderView* header = m_listView->DetailsView().header();
    for (std::size_t column = 0; column < state.columnWidths.size() && column < std::size_t(header->count()); ++column)
        if (state.columnWidths[column] > 0) header->resizeSection(int(column), state.columnWidths[column]);
    m_listView->ShowSort(state.sortColumn, state.sortAscending);
    m_correspondence->SetOrder(state.conversationNewestOnTop ? ConversationOrder::NewestAtTop
                                                             : ConversationOrder::NewestAtBottom);
    if (state.queueOpen) {
        m_queuePane->SetSort(state.queueSortColumn, state.queueSortAscending);
        m_queuePane->SetCurrentTab(state.queueTab);
        m_queuePane->show();
    }
}

void CMainFrame::SaveWindowState() {
    if (m_stateFile.empty()) return;
    WindowState state = m_windowState;
    state.geometry = saveGeometry().toBase64().toStdString();
    state.mainSplit = ToVector(m_splitter->sizes());
    state.leftSplit = ToVector(m_subSplitter->sizes());
    state.viewMode = m_listView->ViewMode();
    const QHeaderView* header = m_listView->DetailsView().header();
    state.columnWidths.clear();
    for (int column = 0; column < header->count(); ++column) state.columnWidths.push_back(header->sectionSize(column));
    state.sortColumn = m_listView->SortColumn();
    state.sortAscending = m_listView->SortAscending();
    state.map = m_mapCombo->currentIndex();
    state.queueOpen = !m_queuePane->isHidden();
    state.queueTab = m_queuePane->CurrentTab();
    state.queueSortColumn = m_queuePane->SortColumn();
    state.queueSortAscending = m_queuePane->SortAscending();
    state.conversationNewestOnTop = m_correspondence->Order() == ConversationOrder::NewestAtTop;
    WriteWindowState(m_stateFile, state);
}

void CMainFrame::RememberDataFile() {
    AddRecentFile(m_windowState.recentFiles, m_session.Doc().GetPathName());
    RebuildRecentMenu();
}

// "&1 name" for each file, with its folder in the prompt.
void CMainFrame::RebuildRecentMenu() {
    m_recentMenu->clear();
    int number = 0;
    for (const fs::path& file : m_windowState.recentFiles) {
        const QString path = QString::fromStdString(file.string());
        QAction* action =
            m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(QFileInfo(path).fileName()));
        action->setStatusTip(QString::fromUtf8(texts::kCmdRecentFile) + QStringLiteral(": ") + path);
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
    }
    m_recentMenu->setEnabled(number > 0);
}
