// What the mailbox check remembers per account and folder: the folder's UIDVALIDITY and
// the last UID looked at. A different UIDVALIDITY means the folder was recreated and is
// checked in full again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "archive/mail_archive.h"

class CPalArchive;

struct SyncPoint {
    std::uint32_t uidValidity = 0;
    std::uint32_t lastUid = 0;
    bool operator==(const SyncPoint&) const = default;
};

class CSyncStateStore {
public:
    virtual ~CSyncStateStore() = default;
    virtual std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) = 0;
    // Called after each mail the sink kept; false when it could not be kept.
    virtual bool Save(const std::string& account, const std::string& folder, const SyncPoint& point) = 0;
};

// Points for this run only.
class CMemorySyncState : public CSyncStateStore {
public:
    std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) override;
    bool Save(const std::string& account, const std::string& folder, const SyncPoint& point) override;

private:
    std::map<std::pair<std::string, std::string>, SyncPoint> m_points;
};

// The archive's setting that holds a folder's sync point. The intake stores it in the
// transaction of the mail it follows, so a check cut off goes on after the last mail kept.
ArchiveSetting SyncPointSetting(const std::string& account, const std::string& folder, const SyncPoint& point);

// The points in the archive of the data file in use; in memory while there is no archive
// that can be written (a document never saved, a file in use elsewhere).
class CArchiveSyncState : public CSyncStateStore {
public:
    explicit CArchiveSyncState(CPalArchive* archive) : m_archive(archive) {}

    std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) override;
    // Writes only when the archive does not hold the point already (the intake stored it).
    bool Save(const std::string& account, const std::string& folder, const SyncPoint& point) override;

    // Earlier versions kept the points in a text file beside the data file: they move into
    // the archive (where it has none for the folder yet) and the file is removed.
    void TakeOverStateFile(const std::filesystem::path& dataFile);

private:
    CMailArchive* WritableArchive();

    CPalArchive* m_archive;
    CMemorySyncState m_memory;
};
