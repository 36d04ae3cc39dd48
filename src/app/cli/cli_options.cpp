#include "app/cli/cli_options.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "app/cli/cli_commands.h"

namespace {

using Usage = std::pair<std::string_view, std::string_view>;

// One line per command, as help lists them.
constexpr std::array kUsages = {
    Usage{"help", "help"},
    Usage{"dump", "dump FILE"},
    Usage{"repair", "repair IN OUT [--force]"},
    Usage{"parse-mail", "parse-mail [FILE] [--utf8]"},
    Usage{"take-mail", "take-mail DATA.ybf [--add-new] [--me ADDRESS]... PATH..."},
    Usage{"stats", "stats FILE"},
    Usage{"import-csv", "import-csv DATA.ybf BOOK.csv [--list]"},
    Usage{"backups", "backups DATA.ybf"},
    Usage{"restore", "restore DATA.ybf BACKUP [--force]"},
    Usage{"place", "place DATA.ybf [--all] [--dry-run]"},
    Usage{"chart", "chart DATA.ybf --kind sex|age|maps|first-year|months|reply-times --out FILE.png|FILE.jpg|FILE.svg"},
    Usage{"export",
          "export DATA.ybf --vcard OUT.vcf [--vcard-version 3.0|4.0] | --csv OUT.csv [--encoding utf-8|cp932] "
          "[--raw-csv]"},
    Usage{"import", "import DATA.ybf FILE.vcf|FILE.csv [--merge fill|theirs|ours]"},
    Usage{"own-addresses", "own-addresses DATA.ybf [ADDRESS...]"},
    Usage{"mails",
          "mails DATA.ybf [--pal ADDRESS] [--search TEXT [--direction received|sent] [--since YYYY-MM-DD] "
          "[--until YYYY-MM-DD]]"},
    Usage{"queue", "queue DATA.ybf [--today YYYY-MM-DD] [--quiet-days N]"},
    Usage{"quiet-days", "quiet-days DATA.ybf [--pal ADDRESS] [N|default]"},
    Usage{"reply", "reply DATA.ybf --pal ADDRESS [--today YYYY-MM-DD]"},
    Usage{"check-mail",
          "check-mail DATA.ybf --imap URL --password-file FILE [--ca-file PEM] [--trust-fingerprint SHA256] "
          "[--folder NAME]... [--since YYYY-MM-DD] [--me ADDRESS]... [--maildir DIR]... [--mbox FILE]... "
          "[--command-timeout SECONDS] [--check-timeout SECONDS]"},
    Usage{"sync-contacts",
          "sync-contacts DATA.ybf --carddav https://USER@HOST/PATH --password-file FILE [--ca-file PEM] "
          "[--trust-fingerprint SHA256] [--book NAME] [--force]"},
};

}  // namespace

bool CliOptions::Has(std::string_view name) const {
    return std::any_of(named.begin(), named.end(), [&](const auto& option) { return option.first == name; });
}

std::optional<std::string> CliOptions::Get(std::string_view name) const {
    std::optional<std::string> value;
    for (const auto& [key, given] : named)
        if (key == name) value = given;
    return value;
}

std::vector<std::string> CliOptions::All(std::string_view name) const {
    std::vector<std::string> values;
    for (const auto& [key, given] : named)
        if (key == name) values.push_back(given);
    return values;
}

std::optional<CliOptions> ParseCliOptions(std::span<char*> args, std::initializer_list<KnownOption> known,
                                          std::string& why) {
    CliOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || !arg.starts_with("-") || arg == "-") {
            options.positional.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto option =
            std::find_if(known.begin(), known.end(), [&](const KnownOption& o) { return o.name == arg; });
        if (option == known.end()) {
            why = UnknownOption(arg);
            return std::nullopt;
        }
        if (!option->takesValue) {
            options.named.emplace_back(arg, std::string());
        } else if (i + 1 < args.size()) {
            options.named.emplace_back(arg, args[++i]);
        } else {
            why = std::string(arg) + " に値がありません";
            return std::nullopt;
        }
    }
    return options;
}

std::string_view CommandUsage(std::string_view command) {
    for (const auto& [name, usage] : kUsages)
        if (name == command) return usage;
    return command;
}

std::span<const std::pair<std::string_view, std::string_view>> CommandUsages() { return kUsages; }

int UsageError(std::string_view command, std::string_view why) {
    if (!why.empty()) std::fprintf(stderr, "%.*s\n", int(why.size()), why.data());
    const std::string_view usage = CommandUsage(command);
    std::fprintf(stderr, "使い方: yubino-cli %.*s\n", int(usage.size()), usage.data());
    return kExitUsage;
}

std::string UnknownOption(std::string_view option) { return "不明なオプションです: " + std::string(option); }

std::string BadValue(std::string_view option, std::string_view value, std::string_view expected) {
    return std::string(option) + " の値が正しくありません: " + std::string(value) + "（" + std::string(expected) + "）";
}

std::string WrongArgumentCount() { return "引数の数が正しくありません"; }
