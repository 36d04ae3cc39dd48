// yubino-cli check-mail DATA.ybf --imap URL ...: the mailbox check for scripts and tests.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/file_read.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"
#include "sync/checked_mail_intake.h"
#include "sync/imap_check.h"
#include "sync/local_folder_check.h"

namespace {

constexpr std::size_t kMaxPasswordFileBytes = 4096;

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
};

int PrintUsageError(const char* why) {
    std::fprintf(stderr, "%s\n", why);
    std::fputs("使い方: yubino-cli check-mail DATA.ybf --imap URL --password-file FILE [--ca-file PEM] "
               "[--trust-fingerprint SHA256] [--folder NAME]... [--since YYYY-MM-DD] [--me ADDRESS]... "
               "[--maildir DIR]... [--mbox FILE]...\n",
               stderr);
    return kExitUsage;
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

// A year before today, where no --since is given.
void DefaultSince(CheckMailArgs& args) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    args.sinceYear = local.tm_year + 1900 - 1;
    args.sinceMonth = local.tm_mon + 1;
    args.sinceDay = std::min(local.tm_mday, 28);
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
    if (!args.sinceYear) DefaultSince(args);
    return args;
}

// The first line of a small regular file.
std::optional<std::string> ReadPassword(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::string bytes(kMaxPasswordFileBytes, '\0');
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) n = ::read(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (n < 0) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(n));
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

void PrintResult(std::size_t fetched, const CheckTally& tally, const std::vector<std::string>& errors) {
    JsonWriter json;
    json.BeginObject().Key("fetched").Int(static_cast<long long>(fetched));
    json.Key("updated").BeginArray();
    for (const std::string& address : tally.updated) json.String(cp932::ToUtf8(address));
    json.EndArray();
    json.Key("received").Int(static_cast<long long>(tally.received));
    json.Key("sent").Int(static_cast<long long>(tally.sent));
    json.Key("errors").BeginArray();
    for (const std::string& error : errors) json.String(error);
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
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
    if (args->imap && !(password = ReadPassword(args->passwordFile))) {
        std::fprintf(stderr, "パスワードのファイルを読めません: %s\n", args->passwordFile.c_str());
        return kExitUsage;
    }

    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, args->dataFile)) return *refused;

    CPalArchive archive(app, [&doc] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; });
    app.SetHistory(&archive);
    CCheckedMailIntake intake(app, &archive, args->me);
    std::size_t fetched = 0;
    std::vector<std::string> errors;
    if (args->imap) {
        ImapCheckOptions options;
        options.server = *args->imap;
        options.password = *password;
        options.session.trust = {args->caFile, args->trustFingerprint};
        options.folders = args->folders;
        options.addresses = PalAddressesToCheck(app);
        options.sinceYear = args->sinceYear;
        options.sinceMonth = args->sinceMonth;
        options.sinceDay = args->sinceDay;
        CArchiveSyncState state(&archive);
        state.TakeOverStateFile(args->dataFile);
        CImapCheck check(state);
        const CheckOutcome outcome = check.Run(options, [&](const FetchedMail& mail) {
            return intake.Take(mail);
        });
        fetched += outcome.fetched;
        errors.insert(errors.end(), outcome.errors.begin(), outcome.errors.end());
        for (const std::string& warning : outcome.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
    }
    for (const std::vector<std::string>* paths : {&args->maildirs, &args->mboxes}) {
        for (const std::string& path : *paths) {
            const CheckOutcome outcome = CLocalFolderCheck().Run(
                path, path, [&](const ParsedMail& mail) { return intake.TakeParsed(mail, false); });
            fetched += outcome.fetched;
            errors.insert(errors.end(), outcome.errors.begin(), outcome.errors.end());
        }
    }

    const CheckTally tally = intake.Tally();
    // What was fetched is kept even when a source failed.
    if (!tally.updated.empty() && !doc.OnSaveDocument(args->dataFile).ok) return kExitFailure;
    PrintResult(fetched, tally, errors);
    // A script that reads only the exit status and standard error still learns why.
    for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
    return errors.empty() ? kExitOk : kExitFailure;
}
