// Where a pal's picture file may be found. Pals keep the path of their photo as it was
// chosen; in a file from the Windows program that is a Windows path ("C:\...\photo.jpg"),
// which cannot exist here. Users copy their photos over with the pal data file, so such a
// picture is also looked for by its file name in the data file's folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The places to try, in order: the path as stored (code page 932), then, for a Windows
// path, its file name in `dataFolder` (when one is known). Nothing for an empty path.
std::vector<std::filesystem::path> PictureFileCandidates(const std::string& stored,
                                                         const std::filesystem::path& dataFolder);
