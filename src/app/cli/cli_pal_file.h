// Loading the pal data file a command works on.
#pragma once

#include <filesystem>

class CYubinoDoc;

// Opens `path` as the document (locked when `forWriting`); the port tells of what the
// load found. False when the file is refused or cannot be read.
bool OpenPalFile(CYubinoDoc& doc, const std::filesystem::path& path, bool forWriting);
