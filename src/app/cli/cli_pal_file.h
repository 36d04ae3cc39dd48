// Loading the pal data file a command works on.
#pragma once

#include <filesystem>
#include <optional>

#include "storage/yubino_doc.h"

// Opens `path` as the document; the port tells of what the load found. A command that
// writes opens it Exclusive: the lock is held from before the read to the end of the
// process, and a file another process holds is refused. False when the file is refused,
// busy or cannot be read.
bool OpenPalFile(CYubinoDoc& doc, const std::filesystem::path& path, CYubinoDoc::OpenMode mode);

// Opens `path` Exclusive for a command that writes it. Nothing when it is open; otherwise
// the command's exit status: 1 when another process holds the file, 2 when it was refused
// or could not be read (the port has said which).
std::optional<int> OpenPalFileToWrite(CYubinoDoc& doc, const std::filesystem::path& path);
