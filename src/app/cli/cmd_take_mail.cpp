// yubino-cli take-mail DATA.ybf [--add-new] PATH...: received mail from .eml files, mbox
// files, Maildir folders and Japanese mail text files taken in by the batch rules,
// without dialogs; the pal data file saved under its lock.
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
#include "archive/parsed_mail_record.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "mail/mail_address.h"
#include "mail/mail_batch.h"
#include "mail/mail_files.h"
#include "storage/yubino_doc.h"

namespace {

struct Failure {
    std::string path;
    std::string reason;
};

// Each mail goes into the archive in a transaction of its own, so that a killed run loses
// at most the mail being taken in, then updates the table by the batch rules.
class CBatchSink : public CMailSink {
public:
    CBatchSink(CMailBatch& batch, CPalArchive& archive, const std::vector<std::string>& me)
        : m_batch(batch), m_archive(archive), m_me(me) {}
    bool TakeMail(const ParsedMail& mail) override {
        m_archive.TakeIn({ArchiveRecordOf(mail, "mail-file")}, m_me);
        m_batch.Take(mail);
        return true;
    }
    void Failed(const std::filesystem::path& path, const std::string& reason) override {
        failures.push_back({path.string(), reason});
    }
    std::vector<Failure> failures;

private:
    CMailBatch& m_batch;
    CPalArchive& m_archive;
    const std::vector<std::string>& m_me;
};

void AddressArray(JsonWriter& json, const char* key, const std::vector<std::string>& addresses) {
    json.Key(key).BeginArray();
    for (const std::string& address : addresses) json.String(cp932::ToUtf8(address));
    json.EndArray();
}

void PrintResult(const CMailBatch& batch, const std::vector<std::string>& added, const std::vector<Failure>& failures) {
    JsonWriter json;
    json.BeginObject().Key("read").Int(batch.ReadCount());
    AddressArray(json, "updated", batch.UpdatedPals());
    AddressArray(json, "added", added);
    std::vector<std::string> unknown;
    for (const CPenPal& sender : batch.UnknownSenders()) unknown.push_back(sender.m_strMailAddress);
    AddressArray(json, "unknown", unknown);
    json.Key("failed").BeginArray();
    for (const Failure& failure : failures)
        json.BeginObject().Key("path").String(failure.path).Key("reason").String(failure.reason).EndObject();
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
    const bool addNew = options->Has("--add-new");
    const std::vector<std::string>& paths = options->positional;

    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    const std::string& dataFile = paths[0];
    // Refused, unreadable or in use by another process: the port has said so.
    if (!OpenPalFile(doc, dataFile, CYubinoDoc::OpenMode::Exclusive)) return kExitUsage;

    CPalArchive archive(app, [&doc] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; });
    app.SetHistory(&archive);
    CMailBatch batch(app);
    CBatchSink sink(batch, archive, me);
    for (std::size_t i = 1; i < paths.size(); ++i) ReadMailPath(paths[i], sink);
    std::vector<std::string> added;
    if (addNew) added = batch.AddUnknownSenders();
    if (batch.ReadCount() > 0 && !doc.OnSaveDocument(dataFile).ok) return kExitFailure;  // the port has said why
    PrintResult(batch, added, sink.failures);
    return batch.ReadCount() > 0 ? kExitOk : kExitFailure;
}
