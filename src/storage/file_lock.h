// An advisory lock on a pal data file in use, so that no two Yubino processes (or
// yubino-cli) write the same file. The lock sits on a hidden lock file beside the file
// (".<name>.lock"), not on the data file itself: a save replaces the data file by renaming,
// and a lock on the replaced file would protect nothing. A path through symbolic links
// locks the file they point to.
#pragma once

#include <chrono>
#include <filesystem>

class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock() { Release(); }
    CFileLock(CFileLock&& other) noexcept;
    CFileLock& operator=(CFileLock&& other) noexcept;
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    enum class Result { Locked, Busy, NoLockFile };

    // Locks the data file at `path`, waiting up to `wait` for another holder to let go.
    // Busy: another process, or another lock of this one, holds it. NoLockFile: the lock
    // file cannot be made (a read-only folder), so nothing can be locked.
    Result Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait = {});
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    // Whether this lock is the one for the data file at `path`.
    bool Covers(const std::filesystem::path& path) const;

    // The lock file that guards the data file at `path`.
    static std::filesystem::path LockFileFor(const std::filesystem::path& path);

private:
    int m_fd = -1;
    std::filesystem::path m_lockFile;
};
