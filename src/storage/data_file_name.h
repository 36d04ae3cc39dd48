// The name a pal data file is saved under.
#pragma once

#include <filesystem>

// The chosen path, with ".ybf" added when its file name has no extension, so that the file
// is found again by the open dialog's filter and by the desktop's file type.
std::filesystem::path WithDataFileExtension(const std::filesystem::path& chosen);
