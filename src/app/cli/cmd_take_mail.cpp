// yubino-cli take-mail DATA.ybf [--add-new] [--me ADDRESS]... PATH...: mail from .eml
// files, mbox files, Maildir folders and Japanese mail text files taken in by the batch
// rules, without dialogs; the pal data file saved under its lock.
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "intake/mail_intake_service.h"
#include "intake/path_source.h"
#include "mail/mail_address.h"
#include "storage/yubino_doc.h"

namespace {

void AddressArray(JsonWriter& json, const char* key, const std::vector<std::string>& addresses) {
    json.Key(key).BeginArray();
    for (const std::string& address : addresses) json.String(cp932::ToUtf8(address));
    json.EndArray();
}

void PrintResult(const IntakeResult& result) {
    JsonWriter json;
    json.BeginObject().Key("read").Int(result.read);
    json.Key("stored").Int(result.stored).Key("duplicates").Int(result.duplicates);
    AddressArray(json, "updated", result.updatedPals);
    AddressArray(json, "added", result.addedPals);
    std::vector<std::string> unknown;
    for (const CPenPal& sender : result.unknownSenders) unknown.push_back(sender.m_strMailAddress);
    AddressArray(json, "unknown", unknown);
    json.Key("failed").BeginArray();
    for (const IntakeFailure& failure : result.failures) {
        json.BeginObject().Key("path").String(failure.where).Key("reason").String(failure.reason);
        if (failure.count > 1) json.Key("count").Int(failure.count);
        json.EndObject();
    }
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

}  // namespace

int RunTakeMail(std::span<char*> args) {
    constexpr std::string_view kName = "take-mail";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--add-new"}, {"--me", true}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.size() < 2) return UsageError(kName, WrongArgumentCount());
    const std::vector<std::string> me = options->All("--me");
    for (const std::string& address : me)
        if (!IsMailAddress(address)) return UsageError(kName, BadValue("--me", address, "メールアドレス"));
    IntakeOptions intakeOptions;
    if (options->Has("--add-new")) intakeOptions.unknown = UnknownSenderPolicy::AddAll;
    intakeOptions.ownAddresses = me;
    const std::vector<std::string>& paths = options->positional;

    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    const std::string& dataFile = paths[0];
    // Refused, unreadable or in use by another process: the port has said so.
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) return *refused;

    CPalArchive archive(app, [&doc] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; });
    app.SetHistory(&archive);
    CMailIntakeService intake(app, &archive, intakeOptions);
    CPathSource source(std::vector<std::filesystem::path>(paths.begin() + 1, paths.end()));
    intake.Read(source);
    const IntakeResult result = intake.Finish();
    if (doc.IsModified() && !doc.OnSaveDocument(dataFile).ok) return kExitFailure;  // the port has said why
    PrintResult(result);
    return result.read > 0 ? kExitOk : kExitFailure;
}
