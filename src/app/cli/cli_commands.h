// The commands of yubino-cli. Each takes the arguments after its name and returns the
// process's exit status.
#pragma once

#include <span>

using CliCommand = int (*)(std::span<char*> args);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command ran and failed (a mail not parsed, ...)
inline constexpr int kExitUsage = 2;    // wrong arguments, or a file refused or unreadable

// dump FILE: the pal data file as one JSON object {"pals": [...], "complete": bool}.
int RunDump(std::span<char*> args);
// repair IN OUT: loads IN as start-up does and writes what was read to OUT.
int RunRepair(std::span<char*> args);
// parse-mail [FILE] [--utf8]: the fields of a mail text (code page 932, or UTF-8 with
// --utf8) from FILE or standard input, as one JSON object; 1 when the text is no mail.
int RunParseMail(std::span<char*> args);
// stats FILE: the analysis of a pal data file's table.
int RunStats(std::span<char*> args);
// import-csv DATA.ybf BOOK.csv [--list]: the address book import.
int RunImportCsv(std::span<char*> args);
// check-mail DATA.ybf --imap URL --password-file FILE ...: the mailbox check; prints
// {"fetched", "updated", "received", "sent", "errors"}; 1 when a source failed.
int RunCheckMail(std::span<char*> args);
