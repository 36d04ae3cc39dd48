#include "storage/settings_file.h"

#include <fstream>

namespace {

// A path is far shorter; a longer first line is no path and is not read on.
constexpr std::size_t kMaxLine = 64 * 1024;

}  // namespace

std::optional<std::string> ReadSettingsFile(const std::filesystem::path& settingsFile) {
    std::ifstream in(settingsFile, std::ios::binary);
    if (!in) {
        std::ofstream create(settingsFile, std::ios::binary);
        if (!create) return std::nullopt;
        return std::string();
    }
    std::string line;
    char c;
    while (line.size() < kMaxLine && in.get(c) && c != '\n') line.push_back(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A text line ends at a NUL byte, as the C library reads it.
    if (auto nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
    return line;
}

WriteResult WriteSettingsFile(const std::filesystem::path& settingsFile, const std::string& dataFile) {
    return WriteFileAtomically(settingsFile, dataFile);
}
