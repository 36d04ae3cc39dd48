// The commands of yubino-cli. Each takes the arguments after its name and returns the
// process's exit status.
#pragma once

#include <span>

using CliCommand = int (*)(std::span<char*> args);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command ran and failed (a mail not parsed, ...)
inline constexpr int kExitUsage = 2;    // wrong arguments, or a file refused or unreadable
inline constexpr int kExitInUse = kExitFailure;  // another Yubino holds the data file

// dump FILE: the pal data file as one JSON object {"pals": [...], "complete": bool}.
int RunDump(std::span<char*> args);
// repair IN OUT: loads IN as start-up does and writes what was read to OUT.
int RunRepair(std::span<char*> args);
// parse-mail [FILE] [--utf8]: the fields of a mail text (code page 932, or UTF-8 with
// --utf8) or of an Internet message from FILE or standard input, as one JSON object; 1
// when the text is no mail.
int RunParseMail(std::span<char*> args);
// take-mail DATA.ybf [--add-new] PATH...: received mail files and folders taken in.
int RunTakeMail(std::span<char*> args);
// stats FILE: the analysis of a pal data file's table.
int RunStats(std::span<char*> args);
// import-csv DATA.ybf BOOK.csv [--list]: the address book import.
int RunImportCsv(std::span<char*> args);
// backups DATA.ybf: the data file's backups, newest first, as a JSON array of
// {"file", "saved", "pals", "bytes"}.
int RunBackups(std::span<char*> args);
// restore DATA.ybf BACKUP [--force]: the backup's table becomes the data file's; the file
// it replaces is kept as a backup first. A backup of another data file needs --force.
int RunRestore(std::span<char*> args);
// place DATA.ybf [--all] [--dry-run]: pals placed on the map of their residence.
int RunPlace(std::span<char*> args);
// chart DATA.ybf --kind sex|age|maps|first-year|months --out FILE.png|FILE.svg: one chart,
// drawn by yubino-chart beside yubino-cli.
int RunChart(std::span<char*> args);
// export DATA.ybf --vcard OUT.vcf [--vcard-version 3.0|4.0] | --csv OUT.csv [--encoding utf-8|cp932]:
// every pal written as vCard or CSV.
int RunExport(std::span<char*> args);
// import DATA.ybf FILE.vcf|FILE.csv: every pal the file gives that can be added, added and
// saved; prints {"before": N, "added": N, "refused": [{"address": A, "reason": R}]}.
int RunImport(std::span<char*> args);
// own-addresses DATA.ybf [ADDRESS...]: sets the user's own addresses when given; prints them.
int RunOwnAddresses(std::span<char*> args);
// mails DATA.ybf [--pal ADDRESS] [--search TEXT [--direction received|sent] [--since DAY]
// [--until DAY]]: the archive's mails, newest first; found ones each with a snippet and its
// hits ([first, end) in characters).
int RunMails(std::span<char*> args);
// queue DATA.ybf [--today YYYY-MM-DD] [--quiet-days N]: the reply queue.
int RunQueue(std::span<char*> args);
// quiet-days DATA.ybf [--pal ADDRESS] [N|default]: the days after which a pal has gone
// quiet, for all or for one pal; sets it when given ("default": the pal follows the one
// for all). Prints {"default": N, "pals": [{"pal", "days"}]} or {"pal", "days", "own"}.
int RunQuietDays(std::span<char*> args);
// check-mail DATA.ybf --imap URL --password-file FILE ...: the mailbox check; prints
// {"fetched", "updated", "received", "sent", "errors"}; 1 when a source failed.
int RunCheckMail(std::span<char*> args);
// reply DATA.ybf --pal ADDRESS [--today YYYY-MM-DD]: the mailto URL of a reply to the pal.
int RunReply(std::span<char*> args);
// sync-contacts DATA.ybf --carddav https://USER@HOST/PATH --password-file FILE [--ca-file PEM]
// [--trust-fingerprint SHA256] [--book NAME] [--force]: the two-way address book sync;
// prints {"added", "updated", "deleted", "conflicts", "uploaded"}; 1 when it failed.
int RunSyncContacts(std::span<char*> args);
