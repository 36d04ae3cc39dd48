#include "contacts/archive_contact_state.h"

#include "archive/pal_archive.h"

std::string CArchiveContactState::Get(const std::string& key) {
    CMailArchive* archive = m_archive.Writable() ? m_archive.Archive() : nullptr;
    if (!archive) return m_memory[key];
    return archive->ReadSetting(key).value.value_or("");
}

bool CArchiveContactState::Put(const std::vector<std::pair<std::string, std::string>>& values) {
    CMailArchive* archive = m_archive.Writable() ? m_archive.Archive() : nullptr;
    if (!archive) {
        for (const auto& [key, value] : values) m_memory[key] = value;
        return true;
    }
    std::vector<ArchiveSetting> settings;
    for (const auto& [key, value] : values) settings.push_back({key, value});
    return archive->WriteSettings(settings).Ok();
}
