// yubino-cli: Yubino's pal data for scripts, migration and repair.
#include <cstdio>
#include <span>
#include <string_view>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"

namespace {

struct Command {
    std::string_view name;
    CliCommand run;
};

// Each runs with the arguments after its name; the usage lines are in cli_options.
constexpr Command kCommands[] = {
    {"dump", RunDump},
    {"repair", RunRepair},
    {"parse-mail", RunParseMail},
    {"take-mail", RunTakeMail},
    {"stats", RunStats},
    {"import-csv", RunImportCsv},
    {"backups", RunBackups},
    {"restore", RunRestore},
    {"place", RunPlace},
    {"chart", RunChart},
    {"export", RunExport},
    {"import", RunImport},
    {"own-addresses", RunOwnAddresses},
    {"mails", RunMails},
    {"queue", RunQueue},
    {"quiet-days", RunQuietDays},
    {"reply", RunReply},
    {"check-mail", RunCheckMail},
    {"sync-contacts", RunSyncContacts},
};

int PrintUsage(FILE* out) {
    std::fputs("使い方: yubino-cli <コマンド> [引数]\n       yubino-cli --version\nコマンド:\n", out);
    for (const auto& [name, usage] : CommandUsages())
        std::fprintf(out, "  yubino-cli %.*s\n", int(usage.size()), usage.data());
    return out == stdout ? kExitOk : kExitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::span<char*> args(argv, static_cast<std::size_t>(argc));
    if (args.size() < 2) return PrintUsage(stderr);
    const std::string_view name = args[1];
    if (name == "help" || name == "--help" || name == "-h") return PrintUsage(stdout);
    if (name == "--version" || name == "-V") {
        std::printf("yubino-cli %s\n", YUBINO_VERSION);
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (c.name == name) return c.run(args.subspan(2));
    }
    std::fprintf(stderr, "不明なコマンドです: %s\n", args[1]);
    return PrintUsage(stderr);
}
