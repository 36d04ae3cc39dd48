// The password of a server for a command, read from a file the user names.
#pragma once

#include <optional>
#include <string>

// The first line of a small regular file that only its owner may read: a password others
// can read is no secret, and using it would hide that. Nothing (told on standard error)
// when the file cannot be read or others may read it.
std::optional<std::string> ReadPasswordFile(const std::string& path);
