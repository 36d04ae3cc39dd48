// yubino-cli take-mail DATA.ybf [--add-new] [--me ADDRESS]... PATH...: mail from .eml
// files, mbox files, Maildir folders and Japanese mail text files taken in by the batch
// rules, without dialogs; the pal data file saved under its lock.
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "intake/mail_intake_service.h"
#include "intake/path_source.h"
#include "storage/yubino_doc.h"

namespace {

int PrintTakeMailUsage() {
    std::fputs("使い方: yubino-cli take-mail DATA.ybf [--add-new] [--me ADDRESS]... パス...\n", stderr);
    return kExitUsage;
}

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
    std::vector<const char*> paths;
    IntakeOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--add-new") {
            options.unknown = UnknownSenderPolicy::AddAll;
        } else if (arg == "--me") {
            if (++i == args.size()) return PrintTakeMailUsage();
            options.ownAddresses.emplace_back(args[i]);
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() < 2) return PrintTakeMailUsage();

    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    const char* dataFile = paths[0];
    // Refused, unreadable or in use by another process: the port has said so.
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) return *refused;

    CPalArchive archive(app, [&doc] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; });
    app.SetHistory(&archive);
    CMailIntakeService intake(app, &archive, options);
    CPathSource source(std::vector<std::filesystem::path>(paths.begin() + 1, paths.end()));
    intake.Read(source);
    const IntakeResult result = intake.Finish();
    if (doc.IsModified() && !doc.OnSaveDocument(dataFile).ok) return kExitFailure;  // the port has said why
    PrintResult(result);
    return result.read > 0 ? kExitOk : kExitFailure;
}
