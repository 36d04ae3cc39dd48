// The commands of yubino-cli. Each takes the arguments after its name and returns the
// process's exit status.
#pragma once

#include <span>

using CliCommand = int (*)(std::span<char*> args);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command ran and failed (a mail not parsed, ...)
inline constexpr int kExitUsage = 2;    // wrong arguments, or a file refused or unreadable

// stats FILE: the analysis of a pal data file's table.
int RunStatsCommand(std::span<char*> args);
// import-csv DATA.ybf BOOK.csv [--list]: the address book import.
int RunImportCsvCommand(std::span<char*> args);
