// The command line of one command: its options, checked against those it knows, and the
// usage line told with the reason when something is wrong.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct KnownOption {
    std::string_view name;  // "--today"
    bool takesValue = false;
};

struct CliOptions {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> named;  // in the order given; flags have ""

    bool Has(std::string_view name) const;
    // The last value given for `name`.
    std::optional<std::string> Get(std::string_view name) const;
    std::vector<std::string> All(std::string_view name) const;
};

// Splits `args` into the `known` options and positional arguments; after "--" every
// argument is positional, so a file whose name begins with "-" can be named. Nothing, with
// `why` set, for an option the command does not know or one whose value is missing.
std::optional<CliOptions> ParseCliOptions(std::span<char*> args, std::initializer_list<KnownOption> known,
                                          std::string& why);

// The usage line of `command` ("queue DATA.ybf [--today YYYY-MM-DD] ...").
std::string_view CommandUsage(std::string_view command);
// Every command's usage line, in the order help lists them.
std::span<const std::pair<std::string_view, std::string_view>> CommandUsages();

// Tells on standard error why the arguments were refused, then the command's usage line;
// returns the exit status for wrong arguments.
int UsageError(std::string_view command, std::string_view why = {});

// Reason texts of refused arguments.
std::string UnknownOption(std::string_view option);
std::string BadValue(std::string_view option, std::string_view value, std::string_view expected);
std::string WrongArgumentCount();
