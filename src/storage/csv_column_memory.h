// The column choices a user made for CSV headers no known program writes, remembered per
// header in a small file of the user's own ($XDG_CONFIG_HOME/yubino/csv-columns.txt),
// one header per line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "storage/app_paths.h"
#include "storage/pal_csv.h"

// Empty when neither XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path CsvColumnMemoryFile(const EnvLookup& env = SystemEnv);

std::optional<std::vector<CsvRole>> RecallCsvRoles(const std::filesystem::path& file,
                                                   const std::vector<std::string>& header);

// Keeps the choice for the header (replacing an older one), the newest 100 headers in all.
bool RememberCsvRoles(const std::filesystem::path& file, const std::vector<std::string>& header,
                      const std::vector<CsvRole>& roles);
