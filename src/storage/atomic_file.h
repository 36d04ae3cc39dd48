// Replacing a file so that an interrupted or failed write never leaves it damaged: the
// new content goes to a temporary file beside it, is flushed, and is renamed over it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct WriteResult {
    bool ok = false;
    std::string error;  // why not, in Japanese (UTF-8), when not ok
    int errorNumber = 0;
};

// Writes through symbolic links: the file a link points to is replaced, in its own folder,
// and the link stays. The temporary file is named so that RemoveStaleTemporaries knows it.
WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

// The same for a file in a folder that only Yubino writes (recovery copies, backups): the
// file is readable by its owner only (0600), and a symbolic link at `path` is replaced
// itself, never the file it points to.
WriteResult WritePrivateFileAtomically(const std::filesystem::path& path, std::string_view content);

// Makes the folder and the folders above it that are missing, open to the user only
// (0700); the folder itself, when it exists, is closed to others too. False when it is no
// folder afterwards.
bool MakePrivateFolder(const std::filesystem::path& folder);

// The file that `path` names once every symbolic link on its last component is followed
// (a missing target included); `path` itself when it is no link. Empty for a link loop.
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

// Removes the temporary files that writes of `path` left behind in processes that no
// longer run (a killed save). Those of a running process are left alone.
void RemoveStaleTemporaries(const std::filesystem::path& path);

// A write's failure in Japanese (UTF-8): disk full, no permission, read-only file system,
// the folder gone, or the system's own words.
std::string WriteErrorText(int errorNumber);

// Whether the directory exists and this process may create files in it.
bool IsWritableDirectory(const std::filesystem::path& dir);
