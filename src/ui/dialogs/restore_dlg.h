// "Restore from a backup": the data file's backups (when saved, how many pals, how
// large) and, for the one chosen, which pals restoring it would add, remove or change.
#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "core/pen_pal.h"
#include "storage/backup_store.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class CRestoreDlg : public QDialog {
    Q_OBJECT
public:
    CRestoreDlg(std::vector<CPenPal> current, std::vector<BackupEntry> backups, QWidget* parent = nullptr);

    // The backup chosen; empty when none is.
    std::filesystem::path ChosenFile() const;

    QTreeWidget* List() const { return m_list; }
    QLabel* Differences() const { return m_differences; }

private:
    void ShowDifferences();

    std::vector<CPenPal> m_current;
    std::vector<BackupEntry> m_backups;
    QTreeWidget* m_list;
    QLabel* m_differences;
    QPushButton* m_restore;
};
