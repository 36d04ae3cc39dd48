// The correspondence archive from the command line: the user's own addresses, the mails,
// and the reply queue. Each opens the data file as the program does (locked; read-only
// when another Yubino holds it) and the archive beside it.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "archive/archive_seed.h"
#include "archive/pal_archive.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/mail_batch.h"
#include "storage/yubino_doc.h"

namespace {

int Usage(const char* usage) {
    std::fprintf(stderr, "使い方: yubino-cli %s\n", usage);
    return kExitUsage;
}

// The data file and the archive of one command.
struct Session {
    CConsoleUserInterface ui;
    CYubinoApp app{ui};
    CYubinoDoc doc{app};
    CPalArchive archive{app, [this] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; }};

    bool Open(const char* dataFile) {
        // Edit: another Yubino holding the file leaves the archive read-only, not refused.
        if (!OpenPalFile(doc, dataFile, CYubinoDoc::OpenMode::Edit)) return false;
        app.SetHistory(&archive);
        return true;
    }
};

// Splits "--name value" options from the positional arguments; false on a stray option.
struct Options {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> named;
    std::optional<std::string> Get(std::string_view name) const {
        for (const auto& [key, value] : named)
            if (key == name) return value;
        return std::nullopt;
    }
};

bool ParseOptions(std::span<char*> args, std::initializer_list<std::string_view> names, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.starts_with("--")) {
            if (std::find(names.begin(), names.end(), arg) == names.end() || i + 1 >= args.size()) return false;
            options.named.emplace_back(std::string(arg), args[++i]);
        } else {
            options.positional.emplace_back(arg);
        }
    }
    return true;
}

std::optional<int> ParseDays(const std::string& text) {
    int days = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), days);
    if (ec != std::errc() || end != text.data() + text.size() || days < 0) return std::nullopt;
    return days;
}

// The value of a call through the archive, its problem told on stderr; nothing when the
// archive failed it (a damaged value gives what the program uses in its place).
template <class T>
std::optional<T> Told(Session& session, ArchiveResult<T> result) {
    session.archive.Report(result, texts::kArchiveNotRead);
    if (result.kind == ArchiveStatus::Kind::Failed) return std::nullopt;
    return std::move(result.value);
}

void Print(const JsonWriter& json) { std::printf("%s\n", json.Text().c_str()); }

void WriteEntries(JsonWriter& json, const char* dateKey, const std::vector<QueueEntry>& entries) {
    json.BeginArray();
    for (const QueueEntry& e : entries)
        json.BeginObject().Key("pal").String(e.pal).Key(dateKey).String(e.date).Key("days").Int(e.days).EndObject();
    json.EndArray();
}

}  // namespace

int RunOwnAddresses(std::span<char*> args) {
    if (args.empty()) return Usage("own-addresses DATA.ybf [ADDRESS...]");
    Session session;
    if (!session.Open(args[0])) return kExitUsage;
    const std::vector<std::string> given(args.begin() + 1, args.end());
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

int RunMails(std::span<char*> args) {
    constexpr const char* kUsage = "mails DATA.ybf [--pal ADDRESS] [--search TEXT]";
    Options options;
    if (!ParseOptions(args, {"--pal", "--search"}, options) || options.positional.size() != 1) return Usage(kUsage);
    Session session;
    if (!session.Open(options.positional[0].c_str())) return kExitUsage;
    std::optional<std::vector<StoredMail>> mails = std::vector<StoredMail>{};
    if (CMailArchive* archive = session.archive.Archive())
        mails = Told(session, archive->Mails(options.Get("--pal").value_or(""), options.Get("--search").value_or("")));
    if (!mails) return kExitFailure;
    JsonWriter json;
    json.BeginArray();
    for (const StoredMail& stored : *mails) {
        const MailRecord& m = stored.mail;
        json.BeginObject().Key("pal").String(m.pal);
        json.Key("direction").String(m.direction == MailDirection::Sent ? "sent" : "received");
        json.Key("date").String(m.date).Key("subject").String(m.subject).Key("body").String(m.body);
        json.Key("messageId").String(m.messageId).EndObject();
    }
    Print(json.EndArray());
    return kExitOk;
}

int RunQueue(std::span<char*> args) {
    constexpr const char* kUsage = "queue DATA.ybf [--today YYYY-MM-DD] [--quiet-days N]";
    Options options;
    if (!ParseOptions(args, {"--today", "--quiet-days"}, options) || options.positional.size() != 1)
        return Usage(kUsage);
    CalendarDay today = CalendarDay::Today();
    if (const auto given = options.Get("--today")) {
        const auto day = CalendarDay::Parse(*given);
        if (!day || given->size() != 10) return Usage(kUsage);
        today = *day;
    }
    std::optional<int> quietDays;
    if (const auto given = options.Get("--quiet-days")) {
        quietDays = ParseDays(*given);
        if (!quietDays) return Usage(kUsage);
    }
    Session session;
    if (!session.Open(options.positional[0].c_str())) return kExitUsage;
    const ReplyQueue queue = session.archive.Queue(today, quietDays);
    JsonWriter json;
    json.BeginObject().Key("waiting");
    WriteEntries(json, "since", queue.waiting);
    json.Key("quiet");
    WriteEntries(json, "last", queue.quiet);
    Print(json.EndObject());
    return kExitOk;
}

namespace {

// A pal named on the command line, spelt as the archive files it (the pal's first address).
std::optional<std::string> ArchivedPal(Session& session, const std::string& address) {
    CPenPal pal;
    if (FindPalByAnyAddress(session.app, TableAddress(address), pal)) return ArchiveAddress(pal.m_strMailAddress);
    session.ui.ShowMessage(FormatText(texts::kNoPalWithAddress, TableAddress(address)), MessageKind::Warning);
    return std::nullopt;
}

// 1 to 3650 days, as the settings dialog allows.
std::optional<int> ParseInterval(const std::string& text) {
    const std::optional<int> days = ParseDays(text);
    return days && *days >= 1 && *days <= 3650 ? days : std::nullopt;
}

}  // namespace

int RunQuietDays(std::span<char*> args) {
    constexpr const char* kUsage = "quiet-days DATA.ybf [--pal ADDRESS] [N|default]";
    Options options;
    if (!ParseOptions(args, {"--pal"}, options) || options.positional.empty() || options.positional.size() > 2)
        return Usage(kUsage);
    const std::optional<std::string> palOption = options.Get("--pal");
    const std::optional<std::string> given =
        options.positional.size() == 2 ? std::optional(options.positional[1]) : std::nullopt;
    // "default" puts a pal back on the interval for all; for all it means nothing.
    const bool backToDefault = given == "default" && palOption;
    const std::optional<int> days = given && !backToDefault ? ParseInterval(*given) : std::nullopt;
    if (given && !backToDefault && !days) return Usage(kUsage);
    Session session;
    if (!session.Open(options.positional[0].c_str())) return kExitUsage;
    if (given && !session.archive.Writable()) return kExitFailure;  // the port has said why
    CMailArchive* archive = session.archive.Archive();
    if (!archive) return kExitFailure;
    JsonWriter json;
    if (palOption) {
        const std::optional<std::string> pal = ArchivedPal(session, *palOption);
        if (!pal) return kExitFailure;
        if (given && session.archive.Report(archive->SetPalQuietDays(*pal, days))) return kExitFailure;
        const std::optional<std::optional<int>> own = Told(session, archive->PalQuietDays(*pal));
        const std::optional<int> forAll = Told(session, archive->DefaultQuietDays());
        if (!own || !forAll) return kExitFailure;
        json.BeginObject().Key("pal").String(*pal).Key("days").Int(own->value_or(*forAll));
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
