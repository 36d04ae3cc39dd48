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

struct SyncPoint {
    std::uint32_t uidValidity = 0;
    std::uint32_t lastUid = 0;
    bool operator==(const SyncPoint&) const = default;
};

// Where the state of the checks for a pal data file is kept until the archive holds it:
// beside the data file ("pals.ybf" -> "pals.mailcheck.tsv").
std::filesystem::path SyncStateFileFor(const std::filesystem::path& dataFile);

class CSyncStateStore {
public:
    virtual ~CSyncStateStore() = default;
    virtual std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) = 0;
    // Called after each mail the sink committed; false when it could not be kept.
    virtual bool Save(const std::string& account, const std::string& folder, const SyncPoint& point) = 0;
};

// The state in a small text file, one line appended per Save ("account TAB folder TAB
// uidvalidity TAB lastuid"): cheap enough to call after every mail, and a process killed
// between two lines loses nothing before them. The last line of a key wins; the file is
// rewritten compactly when it is opened with many stale lines.
class CSyncStateFile : public CSyncStateStore {
public:
    explicit CSyncStateFile(std::filesystem::path file);
    ~CSyncStateFile() override;
    CSyncStateFile(const CSyncStateFile&) = delete;
    CSyncStateFile& operator=(const CSyncStateFile&) = delete;

    std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) override;
    bool Save(const std::string& account, const std::string& folder, const SyncPoint& point) override;

private:
    void ReadFile();

    std::filesystem::path m_file;
    std::map<std::pair<std::string, std::string>, SyncPoint> m_points;
    int m_fd = -1;
    bool m_cutLine = false;
};
