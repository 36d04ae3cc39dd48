// yubino-cli reply DATA.ybf --pal ADDRESS [--today YYYY-MM-DD]: the mailto URL that
// "返事を書く" hands to the mail program, for scripts.
#include <cstdio>

#include "app/cli/cli_archive_session.h"
#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "archive/reply_draft.h"
#include "mail/reply_link.h"

int RunReply(std::span<char*> args) {
    constexpr std::string_view kName = "reply";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--pal", true}, {"--today", true}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.size() != 1) return UsageError(kName, WrongArgumentCount());
    const std::optional<std::string> address = options->Get("--pal");
    if (!address) return UsageError(kName, "--pal でメールフレンドを指定してください");
    CalendarDay today = CalendarDay::Today();
    if (const auto given = options->Get("--today")) {
        const std::optional<CalendarDay> day = ParseDayOption(*given);
        if (!day) return UsageError(kName, BadValue("--today", *given, "YYYY-MM-DD"));
        today = *day;
    }
    CliArchiveSession session;
    if (!session.OpenToRead(options->positional[0].c_str())) return kExitUsage;
    const std::optional<CPenPal> pal = NamedPal(session, *address);
    if (!pal) return kExitFailure;
    std::printf("%s\n", ReplyMailtoUrl(ReplyRequestFor(session.archive, *pal, today)).c_str());
    return kExitOk;
}
