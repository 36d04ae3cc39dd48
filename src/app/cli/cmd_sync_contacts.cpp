// yubino-cli sync-contacts DATA.ybf --carddav URL ...: the address book sync for scripts
// and tests.
#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/cli_password.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "archive/pal_archive.h"
#include "contacts/archive_contact_state.h"
#include "contacts/contact_sync.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"

namespace {

// "https://USER@server/path": the user taken out of the URL; nothing when there is none.
std::optional<std::string> TakeUser(std::string& url) {
    constexpr std::string_view kScheme = "https://";
    if (!url.starts_with(kScheme)) return std::nullopt;
    const std::size_t at = url.find('@', kScheme.size());
    if (at == std::string::npos || at > url.find('/', kScheme.size())) return std::nullopt;
    std::string user = url.substr(kScheme.size(), at - kScheme.size());
    url.erase(kScheme.size(), at + 1 - kScheme.size());
    return user;
}

void Strings(JsonWriter& json, const char* key, const std::vector<std::string>& values) {
    json.Key(key).BeginArray();
    for (const std::string& value : values) json.String(value);
    json.EndArray();
}

void PrintResult(const ContactSyncResult& result) {
    JsonWriter json;
    json.BeginObject();
    Strings(json, "added", result.added);
    Strings(json, "updated", result.updated);
    Strings(json, "deleted", result.deleted);
    json.Key("conflicts").BeginArray();
    for (const SyncConflict& c : result.conflicts)
        json.BeginObject()
            .Key("address")
            .String(c.address)
            .Key("field")
            .String(c.field)
            .Key("kept")
            .String(c.kept)
            .Key("other")
            .String(c.other)
            .EndObject();
    json.EndArray();
    json.Key("uploaded").Int(result.uploaded).EndObject();
    std::printf("%s\n", json.Text().c_str());
}

void TellFailure(const ContactSyncResult& result) {
    if (result.deletionsRefused > 0)
        std::fprintf(stderr, "同期すると %d 件の連絡先が削除されます。よろしければ --force を付けて実行してください\n",
                     result.deletionsRefused);
    else
        std::fprintf(stderr, "連絡先を同期できませんでした: %s\n", result.error.c_str());
    for (const std::string& book : result.books) std::fprintf(stderr, "  アドレス帳: %s\n", book.c_str());
    if (!result.fingerprint.empty())
        std::fprintf(stderr, "サーバー証明書の SHA-256 フィンガープリント: %s\n", result.fingerprint.c_str());
}

}  // namespace

int RunSyncContacts(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> given = ParseCliOptions(args,
                                                            {{"--carddav", true},
                                                             {"--password-file", true},
                                                             {"--ca-file", true},
                                                             {"--trust-fingerprint", true},
                                                             {"--book", true},
                                                             {"--force", false}},
                                                            why);
    if (!given) return UsageError("sync-contacts", why);
    if (given->positional.size() != 1) return UsageError("sync-contacts", WrongArgumentCount());
    ContactSyncOptions options;
    options.url = given->Get("--carddav").value_or("");
    const std::optional<std::string> user = TakeUser(options.url);
    if (!user)
        return UsageError("sync-contacts",
                          "--carddav には https://ユーザー@サーバー:ポート/ の形の URL を指定してください");
    const std::optional<std::string> passwordFile = given->Get("--password-file");
    if (!passwordFile) return UsageError("sync-contacts", "--password-file を指定してください");
    const std::optional<std::string> password = ReadPasswordFile(*passwordFile);
    if (!password) return kExitUsage;
    options.user = *user;
    options.password = *password;
    options.trust = {given->Get("--ca-file").value_or(""), given->Get("--trust-fingerprint").value_or("")};
    options.book = given->Get("--book").value_or("");
    options.force = given->Has("--force");

    const std::string& dataFile = given->positional[0];
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) return *refused;
    CPalArchive archive(app, [&doc] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; });
    app.SetHistory(&archive);
    CArchiveContactState state(archive);
    const ContactSyncResult result = SyncContacts(app, archive, state, options);
    // What came in before a failure is kept: the records beside the pals already name it.
    if (doc.IsModified() && !doc.OnSaveDocument(dataFile).ok) return kExitFailure;
    PrintResult(result);
    if (!result.notAdded.empty())
        std::fprintf(stderr,
                     "メールフレンドは %d 人までしか登録できないため、サーバーの %zu 件は取り込みませんでした\n",
                     kMaxPals, result.notAdded.size());
    if (result.ok) return kExitOk;
    TellFailure(result);
    return kExitFailure;
}
