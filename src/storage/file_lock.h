// An advisory lock on a pal data file in use, so that a second Yubino process (or
// yubino-cli) does not write over the first one's changes.
#pragma once

#include <filesystem>

class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock() { Release(); }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    enum class Result { Locked, Busy, NoFile };

    // Locks the file at `path` (the lock held before is given up once the new one is
    // held). Busy: another process, or another lock of this one, holds it. NoFile: it
    // cannot be opened, so there is nothing to protect yet.
    Result Acquire(const std::filesystem::path& path);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
