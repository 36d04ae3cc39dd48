// The correspondence archive from the command line: the user's own addresses, the mails,
// and the reply queue. Each opens the data file as the program does and the archive beside
// it; the commands that only read take no lock and never wait for one.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_archive_session.h"
#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/json_writer.h"
#include "archive/archive_seed.h"
#include "archive/mail_search.h"
#include "core/texts.h"
#include "mail/mail_address.h"
#include "mail/mail_batch.h"

namespace {

std::optional<int> ParseDays(const std::string& text) {
    int days = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), days);
    if (ec != std::errc() || end != text.data() + text.size() || days < 0) return std::nullopt;
    return days;
}

// The value of a call through the archive, its problem told on stderr; nothing when the
// archive failed it (a damaged value gives what the program uses in its place).
template <class T>
std::optional<T> Told(CliArchiveSession& session, ArchiveResult<T> result) {
    session.archive.Report(result, texts::kArchiveNotRead);
    if (result.kind == ArchiveStatus::Kind::Failed) return std::nullopt;
    return std::move(result.value);
}

void Print(const JsonWriter& json) { std::printf("%s\n", json.Text().c_str()); }

void WriteEntries(JsonWriter& json, const char* dateKey, const std::vector<QueueEntry>& entries) {
    json.BeginArray();
    for (const QueueEntry& e : entries) {
        json.BeginObject().Key("pal").String(e.pal).Key(dateKey).String(e.date).Key("days").Int(e.days);
        if (!e.snoozedUntil.empty()) json.Key("later").String(e.snoozedUntil);
        json.EndObject();
    }
    json.EndArray();
}

// The first given text that is no mail address.
std::optional<std::string> NotAnAddress(const std::vector<std::string>& given) {
    for (const std::string& text : given)
        if (!IsMailAddress(text)) return text;
    return std::nullopt;
}

}  // namespace

int RunOwnAddresses(std::span<char*> args) {
    constexpr std::string_view kName = "own-addresses";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.empty()) return UsageError(kName, WrongArgumentCount());
    const std::vector<std::string> given(options->positional.begin() + 1, options->positional.end());
    if (const std::optional<std::string> wrong = NotAnAddress(given))
        return UsageError(kName, "メールアドレスではありません: " + *wrong);
    CliArchiveSession session;
    const char* dataFile = options->positional[0].c_str();
    if (!(given.empty() ? session.OpenToRead(dataFile) : session.OpenToEdit(dataFile))) return kExitUsage;
    if (!given.empty() && !session.archive.Writable()) return kExitFailure;  // the port has said why
    CMailArchive* archive = session.archive.Archive();
    if (!archive) return kExitFailure;
    if (!given.empty() && session.archive.Report(archive->SetOwnAddresses(given))) return kExitFailure;
    const std::optional<std::vector<std::string>> own = Told(session, archive->OwnAddresses());
    if (!own) return kExitFailure;
    JsonWriter json;
    json.BeginArray();
    for (const std::string& address : *own) json.String(address);
    Print(json.EndArray());
    return kExitOk;
}

namespace {

void WriteMail(JsonWriter& json, const MailRecord& m) {
    json.Key("pal").String(m.pal);
    json.Key("direction").String(m.direction == MailDirection::Sent ? "sent" : "received");
    json.Key("date").String(m.date).Key("subject").String(m.subject).Key("body").String(m.body);
    json.Key("messageId").String(m.messageId);
}

// The snippet, and its hits as [first, end) counted in characters.
void WriteSnippet(JsonWriter& json, const MailSnippet& snippet) {
    json.Key("snippet").String(snippet.text).Key("hits").BeginArray();
    for (const TextSpan& hit : SpansInCharacters(snippet.text, snippet.hits))
        json.BeginArray().Int(static_cast<long long>(hit.begin)).Int(static_cast<long long>(hit.end)).EndArray();
    json.EndArray();
}

// --direction, --since and --until; nothing, with the reason, when one is wrong.
std::optional<MailSearchFilter> SearchFilterOf(const CliOptions& options, std::string& why) {
    MailSearchFilter filter;
    filter.pal = options.Get("--pal").value_or("");
    if (const auto given = options.Get("--direction")) {
        if (*given != "received" && *given != "sent") {
            why = BadValue("--direction", *given, "received|sent");
            return std::nullopt;
        }
        filter.direction = *given == "sent" ? MailDirection::Sent : MailDirection::Received;
    }
    for (auto [name, day] : {std::pair{"--since", &filter.since}, std::pair{"--until", &filter.until}}) {
        const auto given = options.Get(name);
        if (!given) continue;
        *day = ParseDayOption(*given);
        if (!*day) {
            why = BadValue(name, *given, "YYYY-MM-DD");
            return std::nullopt;
        }
    }
    return filter;
}

int PrintFoundMails(CliArchiveSession& session, const std::string& search, const MailSearchFilter& filter) {
    std::optional<MailSearchResults> found = MailSearchResults{};
    if (CMailArchive* archive = session.archive.Archive()) found = Told(session, archive->SearchMails(search, filter));
    if (!found) return kExitFailure;
    if (found->hits.empty()) std::fprintf(stderr, "%s\n", texts::kSearchNoMail);
    JsonWriter json;
    json.BeginArray();
    for (const MailSearchHit& hit : found->hits) {
        json.BeginObject();
        WriteMail(json, hit.stored.mail);
        WriteSnippet(json, hit.snippet);
        json.EndObject();
    }
    Print(json.EndArray());
    return kExitOk;
}

}  // namespace

int RunMails(std::span<char*> args) {
    constexpr std::string_view kName = "mails";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(
        args, {{"--pal", true}, {"--search", true}, {"--direction", true}, {"--since", true}, {"--until", true}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.size() != 1) return UsageError(kName, WrongArgumentCount());
    const std::optional<MailSearchFilter> filter = SearchFilterOf(*options, why);
    if (!filter) return UsageError(kName, why);
    const std::optional<std::string> search = options->Get("--search");
    if (!search && (filter->direction || filter->since || filter->until))
        return UsageError(kName, "--direction、--since、--until は --search と使います");
    CliArchiveSession session;
    if (!session.OpenToRead(options->positional[0].c_str())) return kExitUsage;
    if (search) return PrintFoundMails(session, *search, *filter);
    std::optional<std::vector<StoredMail>> mails = std::vector<StoredMail>{};
    if (CMailArchive* archive = session.archive.Archive()) mails = Told(session, archive->Mails(filter->pal));
    if (!mails) return kExitFailure;
    JsonWriter json;
    json.BeginArray();
    for (const StoredMail& stored : *mails) {
        json.BeginObject();
        WriteMail(json, stored.mail);
        json.EndObject();
    }
    Print(json.EndArray());
    return kExitOk;
}

std::optional<CalendarDay> ParseDayOption(const std::string& text) {
    const std::optional<CalendarDay> day = CalendarDay::Parse(text);
    // The day must exist: 2003-02-30 is no day, not 2003-03-02.
    if (!day || text.size() != 10 || day->Format() != text) return std::nullopt;
    return day;
}

int RunQueue(std::span<char*> args) {
    constexpr std::string_view kName = "queue";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--today", true}, {"--quiet-days", true}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.size() != 1) return UsageError(kName, WrongArgumentCount());
    std::optional<CalendarDay> asOf;
    if (const auto given = options->Get("--today")) {
        asOf = ParseDayOption(*given);
        if (!asOf) return UsageError(kName, BadValue("--today", *given, "YYYY-MM-DD"));
    }
    std::optional<int> quietDays;
    if (const auto given = options->Get("--quiet-days")) {
        quietDays = ParseDays(*given);
        if (!quietDays) return UsageError(kName, BadValue("--quiet-days", *given, "0 以上の日数"));
    }
    CliArchiveSession session;
    if (!session.OpenToRead(options->positional[0].c_str())) return kExitUsage;
    // A given day shows the queue as it stood then; mails after it are left out.
    const ReplyQueue queue =
        asOf ? session.archive.QueueAsOf(*asOf, quietDays) : session.archive.Queue(CalendarDay::Today(), quietDays);
    JsonWriter json;
    json.BeginObject().Key("waiting");
    WriteEntries(json, "since", queue.waiting);
    json.Key("quiet");
    WriteEntries(json, "last", queue.quiet);
    Print(json.EndObject());
    return kExitOk;
}

std::optional<CPenPal> NamedPal(CliArchiveSession& session, const std::string& address) {
    CPenPal pal;
    if (FindPalByAnyAddress(session.app, TableAddress(address), pal)) return pal;
    session.ui.ShowMessage(FormatText(texts::kNoPalWithAddress, TableAddress(address)), MessageKind::Warning);
    return std::nullopt;
}

namespace {

// 1 to 3650 days, as the settings dialog allows.
std::optional<int> ParseInterval(const std::string& text) {
    const std::optional<int> days = ParseDays(text);
    return days && *days >= 1 && *days <= 3650 ? days : std::nullopt;
}

}  // namespace

int RunQuietDays(std::span<char*> args) {
    constexpr std::string_view kName = "quiet-days";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--pal", true}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.empty() || options->positional.size() > 2) return UsageError(kName, WrongArgumentCount());
    const std::optional<std::string> palOption = options->Get("--pal");
    const std::optional<std::string> given =
        options->positional.size() == 2 ? std::optional(options->positional[1]) : std::nullopt;
    // "default" puts a pal back on the interval for all; for all it means nothing.
    const bool backToDefault = given == "default" && palOption;
    const std::optional<int> days = given && !backToDefault ? ParseInterval(*given) : std::nullopt;
    if (given && !backToDefault && !days)
        return UsageError(kName,
                          BadValue("N", *given, palOption ? "1 から 3650 の日数か default" : "1 から 3650 の日数"));
    CliArchiveSession session;
    const char* dataFile = options->positional[0].c_str();
    if (!(given ? session.OpenToEdit(dataFile) : session.OpenToRead(dataFile))) return kExitUsage;
    if (given && !session.archive.Writable()) return kExitFailure;  // the port has said why
    CMailArchive* archive = session.archive.Archive();
    if (!archive) return kExitFailure;
    JsonWriter json;
    if (palOption) {
        const std::optional<CPenPal> named = NamedPal(session, *palOption);
        if (!named) return kExitFailure;
        const std::string pal = ArchiveAddress(named->m_strMailAddress);
        if (given && session.archive.Report(archive->SetPalQuietDays(pal, days))) return kExitFailure;
        const std::optional<std::optional<int>> own = Told(session, archive->PalQuietDays(pal));
        const std::optional<int> forAll = Told(session, archive->DefaultQuietDays());
        if (!own || !forAll) return kExitFailure;
        json.BeginObject().Key("pal").String(pal).Key("days").Int(own->value_or(*forAll));
        Print(json.Key("own").Bool(own->has_value()).EndObject());
        return kExitOk;
    }
    if (days && session.archive.Report(archive->SetDefaultQuietDays(*days))) return kExitFailure;
    const std::optional<int> forAll = Told(session, archive->DefaultQuietDays());
    if (!forAll) return kExitFailure;
    json.BeginObject().Key("default").Int(*forAll).Key("pals").BeginArray();
    for (const CPenPal& pal : session.app.Pals()) {
        const std::string address = ArchiveAddress(pal.m_strMailAddress);
        const std::optional<std::optional<int>> own = Told(session, archive->PalQuietDays(address));
        if (!own) return kExitFailure;
        if (*own) json.BeginObject().Key("pal").String(address).Key("days").Int(**own).EndObject();
    }
    Print(json.EndArray().EndObject());
    return kExitOk;
}
