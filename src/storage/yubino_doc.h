// The document: the pal data file in use. It holds no pal data of its own; it loads the
// application's table from its file and stores the table back into it.
#pragma once

#include <filesystem>
#include <string>

#include "storage/atomic_file.h"
#include "storage/backup_store.h"
#include "storage/file_lock.h"
#include "storage/pal_data_file.h"

class CYubinoApp;

class CYubinoDoc {
public:
    explicit CYubinoDoc(CYubinoApp& app) : m_app(app) {}

    enum class OpenStatus { Loaded, KeptTable, Refused, CannotOpen };
    struct OpenResult {
        OpenStatus status = OpenStatus::Loaded;
        PalDataReadResult read;
    };

    // Loads `path` as start-up and File, Open do, telling the user through the port what
    // they must know (a foreign, unreadable or damaged file, repeated addresses). A file
    // too short to hold the magic keeps the table and still becomes the document
    // (KeptTable). A foreign file (Refused) or one that cannot be read (CannotOpen) changes
    // nothing. After every load the list is refreshed, the path set, then the map redrawn.
    // Opened `forWriting`, the file is locked against other Yubino processes; one that
    // another process holds opens read-only, and the user is told.
    OpenResult OnOpenDocument(const std::filesystem::path& path, bool forWriting = true);

    // Stores the table into `path` atomically; on success `path` becomes the document's.
    // Before the first overwrite of a file that loaded damaged, the original is kept
    // beside it as "<name>.bak". A failure (no backup, no write) leaves the file as it was,
    // is told to the user through the port and is returned, never reported as success.
    // A file in use by another process is not written.
    WriteResult OnSaveDocument(const std::filesystem::path& path);

    // The file is in use by another process: saving into it is refused.
    bool IsReadOnly() const { return m_bReadOnly; }

    const std::filesystem::path& GetPathName() const { return m_path; }
    // Also tells the app the file's folder, where old pictures are looked for.
    void SetPathName(const std::filesystem::path& path);
    // The file name, shown in the window caption.
    std::string GetTitle() const { return m_path.filename().string(); }

private:
    bool BackUpBeforeFirstOverwrite(const std::filesystem::path& target);
    bool InUseElsewhere(const std::filesystem::path& target) const;

    CYubinoApp& m_app;
    std::filesystem::path m_path;
    // The path of a file that loaded damaged and has not been backed up yet.
    std::filesystem::path m_pendingBackup;
    CFileLock m_lock;
    // Older versions of the file, kept before each save replaces it.
    CSaveBackups m_backups;
    bool m_bReadOnly = false;
};
