// yubino-cli check-mail DATA.ybf --imap URL ...: the mailbox check for scripts and tests.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/cli_password.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/file_read.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "intake/mail_intake_service.h"
#include "storage/yubino_doc.h"
#include "sync/mail_accounts.h"
#include "sync/mailbox_sources.h"

namespace {

struct CheckMailArgs {
    std::string dataFile;
    std::optional<ImapServer> imap;
    std::string passwordFile;
    std::string caFile;
    std::string trustFingerprint;
    std::vector<std::string> folders;
    std::vector<std::string> maildirs;
    std::vector<std::string> mboxes;
    std::vector<std::string> me;
    int sinceYear = 0, sinceMonth = 0, sinceDay = 0;
    int commandTimeoutSeconds = MailAccount().commandTimeoutSeconds;
    int checkTimeoutSeconds = MailAccount().checkTimeoutSeconds;
};

int PrintUsageError(const char* why) {
    std::fprintf(stderr, "%s\n", why);
    std::fputs(
        "使い方: yubino-cli check-mail DATA.ybf --imap URL --password-file FILE [--ca-file PEM] "
        "[--trust-fingerprint SHA256] [--folder NAME]... [--since YYYY-MM-DD] [--me ADDRESS]... "
        "[--maildir DIR]... [--mbox FILE]... [--command-timeout SECONDS] [--check-timeout SECONDS]\n",
        stderr);
    return kExitUsage;
}

bool ParseSeconds(std::string_view text, int& seconds) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return ec == std::errc() && end == text.data() + text.size() && seconds > 0 && seconds <= 24 * 60 * 60;
}

bool ParseDate(std::string_view text, CheckMailArgs& args) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    auto number = [&](std::size_t at, std::size_t len, int& out) {
        const auto [end, ec] = std::from_chars(text.data() + at, text.data() + at + len, out);
        return ec == std::errc() && end == text.data() + at + len;
    };
    return number(0, 4, args.sinceYear) && number(5, 2, args.sinceMonth) && number(8, 2, args.sinceDay) &&
           args.sinceYear >= 1900 && args.sinceMonth >= 1 && args.sinceMonth <= 12 && args.sinceDay >= 1 &&
           args.sinceDay <= 31;
}

std::optional<CheckMailArgs> ParseArgs(std::span<char*> argv, const char*& why) {
    CheckMailArgs args;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argv.size();
        auto value = [&]() -> std::string { return argv[++i]; };
        if (!arg.starts_with("--")) {
            if (!args.dataFile.empty()) return why = "データファイルは一つだけ指定してください", std::nullopt;
            args.dataFile = arg;
        } else if (!hasValue) {
            return why = "オプションに値がありません", std::nullopt;
        } else if (arg == "--imap") {
            args.imap = ParseImapUrl(argv[i + 1]);
            ++i;
            if (!args.imap) return why = "--imap の URL が読めません (imaps://ユーザー@サーバー:ポート/)", std::nullopt;
        } else if (arg == "--password-file") {
            args.passwordFile = value();
        } else if (arg == "--ca-file") {
            args.caFile = value();
        } else if (arg == "--trust-fingerprint") {
            args.trustFingerprint = value();
        } else if (arg == "--folder") {
            args.folders.push_back(value());
        } else if (arg == "--maildir") {
            args.maildirs.push_back(value());
        } else if (arg == "--mbox") {
            args.mboxes.push_back(value());
        } else if (arg == "--me") {
            args.me.push_back(value());
        } else if (arg == "--command-timeout") {
            if (!ParseSeconds(argv[++i], args.commandTimeoutSeconds))
                return why = "--command-timeout には 1 以上の秒数を指定してください", std::nullopt;
        } else if (arg == "--check-timeout") {
            if (!ParseSeconds(argv[++i], args.checkTimeoutSeconds))
                return why = "--check-timeout には 1 以上の秒数を指定してください", std::nullopt;
        } else if (arg == "--since") {
            if (!ParseDate(argv[++i], args)) return why = "--since の日付が読めません (YYYY-MM-DD)", std::nullopt;
        } else {
            return why = "不明なオプションです", std::nullopt;
        }
    }
    if (args.dataFile.empty()) return why = "データファイルを指定してください", std::nullopt;
    if (!args.imap && args.maildirs.empty() && args.mboxes.empty())
        return why = "確認するメールボックスを指定してください (--imap, --maildir, --mbox)", std::nullopt;
    if (args.imap && args.passwordFile.empty()) return why = "--imap には --password-file が必要です", std::nullopt;
    return args;
}

void PrintResult(std::size_t fetched, const IntakeResult& result, const std::vector<std::string>& folders) {
    JsonWriter json;
    json.BeginObject().Key("fetched").Int(static_cast<long long>(fetched));
    json.Key("updated").BeginArray();
    for (const std::string& address : result.updatedPals) json.String(cp932::ToUtf8(address));
    json.EndArray();
    json.Key("received").Int(result.received);
    json.Key("sent").Int(result.sent);
    json.Key("errors").BeginArray();
    for (const IntakeFailure& failure : result.failures) json.String(OneLine(failure.reason));
    json.EndArray();
    json.Key("folders").BeginArray();
    for (const std::string& folder : folders) json.String(folder);
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

// The sources the arguments name: the IMAP account first, then the local folders.
std::vector<std::unique_ptr<CCheckSource>> SourcesOf(const CheckMailArgs& args, const std::string& password,
                                                     const CYubinoApp& app, CSyncStateStore& state) {
    std::vector<std::unique_ptr<CCheckSource>> sources;
    if (args.imap) {
        ImapCheckOptions options;
        options.server = *args.imap;
        options.password = password;
        options.session.trust = {args.caFile, args.trustFingerprint};
        options.session.commandTimeoutMs = args.commandTimeoutSeconds * 1000;
        options.session.checkTimeoutMs = args.checkTimeoutSeconds * 1000;
        options.folders = args.folders;
        options.addresses = PalAddressesToCheck(app);
        options.sinceYear = args.sinceYear;
        options.sinceMonth = args.sinceMonth;
        options.sinceDay = args.sinceDay;
        if (!args.sinceYear) SetSinceDaysAgo(options, kDefaultSinceDays);
        sources.push_back(std::make_unique<CImapSource>(state, std::move(options)));
    }
    for (const std::vector<std::string>* paths : {&args.maildirs, &args.mboxes})
        for (const std::string& path : *paths) sources.push_back(std::make_unique<CLocalFolderSource>(path, path));
    return sources;
}

}  // namespace

int RunCheckMail(std::span<char*> argv) {
    // An option this command does not know, or one without its value, is named.
    std::string refused;
    if (!ParseCliOptions(argv,
                         {{"--imap", true},
                          {"--password-file", true},
                          {"--ca-file", true},
                          {"--trust-fingerprint", true},
                          {"--folder", true},
                          {"--maildir", true},
                          {"--mbox", true},
                          {"--me", true},
                          {"--since", true}},
                         refused))
        return UsageError("check-mail", refused);
    const char* why = "";
    const std::optional<CheckMailArgs> args = ParseArgs(argv, why);
    if (!args) return PrintUsageError(why);
    std::optional<std::string> password;
    if (args->imap && !(password = ReadPasswordFile(args->passwordFile))) return kExitUsage;

    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, args->dataFile)) return *refused;

    CPalArchive archive(app, [&doc] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; });
    app.SetHistory(&archive);
    CArchiveSyncState state(&archive);
    state.TakeOverStateFile(args->dataFile);
    CMailIntakeService intake(app, &archive, {UnknownSenderPolicy::Ignore, args->me, "imap"});
    std::size_t fetched = 0;
    std::vector<std::string> folders;
    for (const std::unique_ptr<CCheckSource>& source : SourcesOf(*args, password.value_or(""), app, state)) {
        intake.Read(*source);
        fetched += source->Outcome().fetched;
        folders.insert(folders.end(), source->Outcome().folders.begin(), source->Outcome().folders.end());
        for (const std::string& warning : source->Outcome().warnings) std::fprintf(stderr, "%s\n", warning.c_str());
    }
    // Pals stale after a check cut off earlier are caught up here too.
    const IntakeResult result = intake.Finish();
    // What was fetched is kept even when a source failed; pals caught up when the archive
    // opened count as well.
    if (doc.IsModified() && !doc.OnSaveDocument(args->dataFile).ok) return kExitFailure;
    PrintResult(fetched, result, folders);
    // A script that reads only the exit status and standard error learns why as well.
    for (const IntakeFailure& failure : result.failures) std::fprintf(stderr, "%s\n", OneLine(failure.reason).c_str());
    return result.failures.empty() ? kExitOk : kExitFailure;
}
