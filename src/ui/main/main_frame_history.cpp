// The main window's side of never losing a change: the Edit menu with undo and redo (menu
// and toolbar), the recovery copy written after changes and offered at start-up, and the
// restore from a backup.
#include <QAction>
#include <QMenuBar>
#include <QToolBar>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/recovery_file.h"
#include "ui/dialogs/restore_dlg.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_frame.h"
#include "ui/main/recovery_keeper.h"
#include "ui/main/undo_history.h"

void CMainFrame::SetUpHistory() {
    m_history = new CUndoHistory(m_app, this);
    m_recovery = new CRecoveryKeeper(m_app, m_session.Doc(), this);
    connect(m_history, &CUndoHistory::TableChanged, m_recovery, &CRecoveryKeeper::Schedule);

    QAction* undo = m_history->UndoAction();
    QAction* redo = m_history->RedoAction();
    auto* restore = new QAction(QString::fromUtf8(texts::kMenuRestoreBackup), this);
    const QString restoreText = QString::fromUtf8(texts::kCmdRestoreBackup);
    restore->setStatusTip(restoreText.section(QLatin1Char('\n'), 0, 0));
    connect(restore, &QAction::triggered, this, &CMainFrame::ChooseAndRestoreBackup);
    const std::pair<int, QAction*> commands[] = {
        {ID_EDIT_UNDO, undo}, {ID_EDIT_REDO, redo}, {ID_RESTORE_BACKUP, restore}};
    for (auto [id, action] : commands) {
        action->setData(id);
        addAction(action);
        m_actions[id] = action;
    }

    // The Edit menu sits between File and View, as on every desktop.
    QMenuBar* bar = menuBar();
    QAction* view = bar->actions().value(1);
    auto* edit = new QMenu(QString::fromUtf8(texts::kMenuEdit), bar);
    edit->addActions({undo, redo});
    edit->addSeparator();
    edit->addAction(restore);
    bar->insertMenu(view, edit);

    // Undo and redo follow open and save on the toolbar.
    QAction* afterSave = m_toolBar->actions().value(2);
    m_toolBar->insertSeparator(afterSave);
    m_toolBar->insertActions(afterSave, {undo, redo});
}

void CMainFrame::AfterFileOpened() {
    m_history->Clear();
    m_recovery->OfferForDocument();
}

void CMainFrame::DiscardRecoveryCopy() { m_recovery->Discard(); }

void CMainFrame::ChooseAndRestoreBackup() {
    const std::filesystem::path dataFile = m_session.Doc().GetPathName();
    const std::filesystem::path folder = m_recovery->Backups().FolderFor(dataFile);
    m_recovery->TellForeignBackups(folder);
    const std::vector<BackupEntry> backups = ListBackups(folder);
    if (backups.empty()) {
        m_app.UI().ShowMessage(Cp932Text(texts::kRestoreNoBackups), MessageKind::Information);
        return;
    }
    CRestoreDlg dialog(m_app.Pals(), backups, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::filesystem::path chosen = dialog.ChosenFile();
    if (!MayRestoreInto(m_app, m_recovery->Backups(), chosen, dataFile)) return;
    if (!RestoreFromBackup(m_app, chosen))
        m_app.UI().ShowMessage(FormatText(texts::kRestoreGone, Cp932Text(chosen.string())), MessageKind::Warning);
}
