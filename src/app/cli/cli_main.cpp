// yubino-cli: Yubino's pal data for scripts, migration and repair.
#include <cstdio>
#include <span>
#include <string_view>

#include "app/cli/cli_commands.h"

namespace {

struct Command {
    std::string_view name;
    std::string_view usage;
    CliCommand run;
};

// One line per command; each runs with the arguments after its name.
constexpr Command kCommands[] = {
    {"help", "help", nullptr},
    {"dump", "dump FILE", RunDump},
    {"repair", "repair IN OUT", RunRepair},
    {"parse-mail", "parse-mail [FILE] [--utf8]", RunParseMail},
    {"take-mail", "take-mail DATA.ybf [--add-new] [--me ADDRESS]... PATH...", RunTakeMail},
    {"stats", "stats FILE", RunStats},
    {"import-csv", "import-csv DATA.ybf BOOK.csv [--list]", RunImportCsv},
    {"backups", "backups DATA.ybf", RunBackups},
    {"restore", "restore DATA.ybf BACKUP [--force]", RunRestore},
    {"place", "place DATA.ybf [--all] [--dry-run]", RunPlace},
    {"chart", "chart DATA.ybf --kind sex|age|maps|first-year|months|reply-times --out FILE.png|FILE.svg", RunChart},
    {"export",
     "export DATA.ybf --vcard OUT.vcf [--vcard-version 3.0|4.0] | --csv OUT.csv [--encoding utf-8|cp932] [--raw-csv]",
     RunExport},
    {"import", "import DATA.ybf FILE.vcf|FILE.csv", RunImport},
    {"own-addresses", "own-addresses DATA.ybf [ADDRESS...]", RunOwnAddresses},
    {"mails", "mails DATA.ybf [--pal ADDRESS] [--search TEXT]", RunMails},
    {"queue", "queue DATA.ybf [--today YYYY-MM-DD] [--quiet-days N]", RunQueue},
    {"quiet-days", "quiet-days DATA.ybf [--pal ADDRESS] [N|default]", RunQuietDays},
    {"check-mail",
     "check-mail DATA.ybf --imap URL --password-file FILE [--ca-file PEM] [--trust-fingerprint SHA256] "
     "[--folder NAME]... [--since YYYY-MM-DD] [--me ADDRESS]... [--maildir DIR]... [--mbox FILE]...",
     RunCheckMail},
};

int PrintUsage(FILE* out) {
    std::fputs("使い方: yubino-cli <コマンド> [引数]\nコマンド:\n", out);
    for (const Command& c : kCommands) std::fprintf(out, "  yubino-cli %.*s\n", int(c.usage.size()), c.usage.data());
    return out == stdout ? 0 : kExitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::span<char*> args(argv, static_cast<std::size_t>(argc));
    if (args.size() < 2) return PrintUsage(stderr);
    const std::string_view name = args[1];
    if (name == "help" || name == "--help" || name == "-h") return PrintUsage(stdout);
    for (const Command& c : kCommands) {
        if (c.name == name && c.run) return c.run(args.subspan(2));
    }
    std::fprintf(stderr, "不明なコマンドです: %s\n", args[1]);
    return PrintUsage(stderr);
}
