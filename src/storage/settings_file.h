// The settings file "yubino.cfg": its first line names the pal data file in use.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "storage/atomic_file.h"

// The first line of the settings file (up to LF or CR LF, or the end), "" for an empty file.
// A missing file is created empty first. Nothing when it can be neither read nor created,
// or is no regular file.
std::optional<std::string> ReadSettingsFile(const std::filesystem::path& settingsFile);

// Makes an empty file at `path` unless something is there already; false when nothing is
// there and none can be made. Never waits on what is there (a FIFO).
bool CreateFileIfMissing(const std::filesystem::path& path);

// Writes `dataFile` as the file's whole content, without a line end, atomically.
WriteResult WriteSettingsFile(const std::filesystem::path& settingsFile, const std::string& dataFile);
