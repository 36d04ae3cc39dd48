// The sync's state in the archive beside the data file (its settings), in memory while
// there is no archive that can be written.
#pragma once

#include <map>

#include "contacts/contact_sync.h"

class CPalArchive;

class CArchiveContactState : public CContactSyncState {
public:
    explicit CArchiveContactState(CPalArchive& archive) : m_archive(archive) {}
    std::string Get(const std::string& key) override;
    bool Put(const std::vector<std::pair<std::string, std::string>>& values) override;

private:
    CPalArchive& m_archive;
    std::map<std::string, std::string> m_memory;
};
