// Replacing a file so that an interrupted or failed write never leaves it damaged: the
// new content goes to a temporary file beside it, is flushed, and is renamed over it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct WriteResult {
    bool ok = false;
    std::string error;  // the system's reason, when not ok
};

WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

// Whether the directory exists and this process may create files in it.
bool IsWritableDirectory(const std::filesystem::path& dir);
