// The recovery copy's timing on the window's side: the first change after a write starts
// the delay, and the copy is written when it ends, so it is never more than one delay
// behind and never written more often. The bytes are made on the UI thread (the table is
// read there) and written by a job of the window's runner.
#pragma once

#include <QObject>
#include <QTimer>

#include "storage/backup_store.h"
#include "storage/recovery_file.h"

class CYubinoApp;
class CYubinoDoc;

class CRecoveryKeeper : public QObject {
    Q_OBJECT
public:
    CRecoveryKeeper(CYubinoApp& app, CYubinoDoc& doc, QObject* parent);

    // The delay: 3 seconds, or YUBINO_RECOVERY_DELAY_MS milliseconds.
    static int DelayFromEnvironment();

    // A change was made.
    void Schedule();
    // The document's file is now open: a newer recovery copy of it is offered.
    RecoveryOutcome OfferForDocument();
    // The close saved the data file: the copy is no longer needed.
    void Discard();

    // Where the copy of the document's file goes; empty for a document without a file.
    std::filesystem::path CopyPath() const;
    CBackupStore& Backups() { return m_backups; }
    // Files in the folder of backups that are not Yubino's are told of once a session.
    void TellForeignBackups(const std::filesystem::path& folder);

private:
    void Write();

    CYubinoApp& m_app;
    CYubinoDoc& m_doc;
    QTimer m_timer;
    CBackupStore m_backups = CBackupStore::ForUser();
    // The copy last written: the document may have moved to another file since.
    std::filesystem::path m_lastCopy;
    CRecoveryWriter m_writer;
    bool m_bToldForeignBackups = false;
};
