#include "core/picture_path.h"

#include <cctype>

#include "core/cp932.h"

namespace {

// The file name of a Windows path: what follows its last backslash (never the trail byte
// of a double-byte character, which can be 0x5C) or its drive ("C:photo.jpg"). Empty when
// the path is no Windows path.
std::string WindowsFileName(const std::string& path) {
    std::size_t nameStart = std::string::npos;
    for (std::size_t pos = 0; pos < path.size(); pos += cp932::CharLength(path, pos))
        if (path[pos] == '\\') nameStart = pos + 1;
    const bool hasDrive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    if (nameStart == std::string::npos && hasDrive) nameStart = 2;
    return nameStart == std::string::npos ? std::string() : path.substr(nameStart);
}

}  // namespace

std::vector<std::filesystem::path> PictureFileCandidates(const std::string& stored,
                                                         const std::filesystem::path& dataFolder) {
    std::vector<std::filesystem::path> candidates;
    if (stored.empty()) return candidates;
    candidates.emplace_back(cp932::ToUtf8(stored));
    const std::string name = WindowsFileName(stored);
    if (!name.empty() && !dataFolder.empty()) candidates.push_back(dataFolder / cp932::ToUtf8(name));
    return candidates;
}
