// yubino-cli parse-mail [FILE] [--utf8]: the fields a dropped mail text or Internet
// message would give, as JSON.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "core/cp932.h"
#include "core/file_read.h"
#include "core/texts.h"
#include "mail/internet_mail.h"
#include "mail/mail_files.h"
#include "mail/mail_text_parser.h"

namespace {

// The mail from FILE (a regular file only) or standard input, up to the cap of a mail.
FileReadResult ReadMail(const char* path) {
    if (path) return ReadRegularFile(path, kMailFileCap);
    FileReadResult result;
    constexpr std::size_t kChunk = 64 * 1024;
    char buffer[kChunk];
    std::size_t n;
    while ((n = std::fread(buffer, 1, kChunk, stdin)) > 0) {
        if (result.bytes.size() + n > kMailFileCap) {
            result.status = FileReadResult::Status::TooLarge;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(buffer, n);
    }
    if (std::ferror(stdin)) result.status = FileReadResult::Status::Failed;
    return result;
}

std::string MailJson(const CPenPal& mail) {
    JsonWriter json;
    json.BeginObject();
    json.Key("m_strHandleName").String(cp932::ToUtf8(mail.m_strHandleName));
    json.Key("m_strMailAddress").String(cp932::ToUtf8(mail.m_strMailAddress));
    json.Key("m_dtLastMail").BeginObject();
    json.Key("status").Int(mail.m_dtLastMail.m_status);
    json.Key("value").Double(mail.m_dtLastMail.m_dt);
    json.EndObject();
    json.Key("m_strLastMailText").String(cp932::ToUtf8(mail.m_strLastMailText));
    json.Key("m_strHomePage").String(cp932::ToUtf8(mail.m_strHomePage));
    json.EndObject();
    return json.Text();
}

int PrintInternetMail(const std::string& bytes) {
    const MailReadResult read = ReadInternetMessage(bytes);
    if (!read.Ok()) {
        PrintMessageLine(Cp932Text(MailReadFailureMessage(read.status)));
        return kExitFailure;
    }
    std::printf("%s\n", MailJson(read.mail.pal).c_str());
    return kExitOk;
}

}  // namespace

int RunParseMail(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--utf8"}}, why);
    if (!options) return UsageError("parse-mail", why);
    if (options->positional.size() > 1) return UsageError("parse-mail", WrongArgumentCount());
    // "-" or no file: standard input.
    const char* path =
        options->positional.empty() || options->positional[0] == "-" ? nullptr : options->positional[0].c_str();
    const bool utf8 = options->Has("--utf8");
    FileReadResult mail = ReadMail(path);
    if (!mail.Ok()) {
        std::fprintf(stderr, "メールを読み込めません: %s（%s）\n", path ? path : "標準入力",
                     FileReadProblem(mail, kMailFileCap).c_str());
        return kExitUsage;
    }
    std::optional<std::string> text = std::move(mail.bytes);
    // An Internet message names its own charsets; --utf8 is for the Japanese mail text.
    if (LooksLikeInternetMessage(*text)) return PrintInternetMail(*text);
    if (utf8) {
        std::string unconvertible;
        text = cp932::FromUtf8(*text, &unconvertible);
        if (!text) {
            std::fprintf(stderr, "コードページ 932 にない文字があります: %s\n", unconvertible.c_str());
            return kExitUsage;
        }
    }
    const MailParseResult result = ParseMailText(*text);
    if (!result.Ok()) {
        PrintMessageLine(Cp932Text(MailParseFailureMessage(result.failure)));
        return kExitFailure;
    }
    std::printf("%s\n", MailJson(result.mail).c_str());
    return kExitOk;
}
