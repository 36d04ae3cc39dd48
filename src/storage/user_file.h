// Reading a file whose path came from the user or from another file: only a regular
// file, opened without blocking (a FIFO or a device never stalls the program), and only
// up to a size that fits its kind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

enum class UserFileStatus { Read, CannotOpen, NotRegular, TooLarge };

// The whole file into `bytes`; on any status but Read, `bytes` is left empty.
UserFileStatus ReadUserFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);
