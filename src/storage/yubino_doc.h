// The document: the pal data file in use. It holds no pal data of its own; it loads the
// application's table from its file and stores the table back into it.
#pragma once

#include <chrono>
#include <cstddef>
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

    enum class OpenStatus { Loaded, KeptTable, Refused, CannotOpen, Busy };
    struct OpenResult {
        OpenStatus status = OpenStatus::Loaded;
        PalDataReadResult read;
        bool Opened() const { return status == OpenStatus::Loaded || status == OpenStatus::KeptTable; }
    };

    enum class OpenMode {
        Read,       // only to be read: no lock (a dump, the source of a repair)
        Edit,       // the window's document: locked; one another process holds opens read-only
        Exclusive,  // a command that writes: locked, or refused (Busy) when another holds it
    };

    // Loads `path` as start-up and File, Open do, telling the user through the port what
    // they must know (a foreign, unreadable or damaged file, repeated addresses). The lock
    // is taken before the file is read, so nothing written in between is lost. A file too
    // short to hold the magic keeps the table and still becomes the document (KeptTable).
    // A foreign file (Refused), one that cannot be read (CannotOpen) or, when Exclusive,
    // one in use (Busy) changes nothing. After every load the list is refreshed, the path
    // set, then the map redrawn.
    OpenResult OnOpenDocument(const std::filesystem::path& path, OpenMode mode = OpenMode::Edit);

    // Stores the table into `path` atomically; on success `path` becomes the document's.
    // Before the first overwrite of a file that loaded damaged, the original is kept
    // beside it as "<name>.bak". A failure (read-only document, file in use, no backup, no
    // write) leaves the file as it was, is told to the user through the port with its
    // reason and is returned, never reported as success.
    WriteResult OnSaveDocument(const std::filesystem::path& path);

    // The file is in use by another process: this session never writes it.
    bool IsReadOnly() const { return m_bReadOnly; }
    // The table differs from what was last loaded or saved.
    bool IsModified() const;

    const std::filesystem::path& GetPathName() const { return m_path; }
    // Also tells the app the file's folder, where old pictures are looked for.
    void SetPathName(const std::filesystem::path& path);
    // The file name, shown in the window caption.
    std::string GetTitle() const { return m_path.filename().string(); }

    // How long opening or saving waits for another process to let go of a file.
    void SetLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

private:
    bool BackUpBeforeFirstOverwrite(const std::filesystem::path& target);
    bool IsOwnFile(const std::filesystem::path& target) const;
    WriteResult RefuseSave(const char* message, const std::filesystem::path& target, const std::string& reason);
    void MarkClean(const std::string& image);

    CYubinoApp& m_app;
    std::filesystem::path m_path;
    // The path of a file that loaded damaged and has not been backed up yet.
    std::filesystem::path m_pendingBackup;
    CFileLock m_lock;
    // Older versions of the file, kept before each save replaces it.
    CSaveBackups m_backups;
    bool m_bReadOnly = false;
    std::size_t m_cleanImage = 0;  // hash of the table's bytes when last loaded or saved
    std::chrono::milliseconds m_lockWait{2000};
};
