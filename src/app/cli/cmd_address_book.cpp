// yubino-cli export and import: pals out as vCard or CSV, and any address book in, all
// that can be added by the rules of the import.
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/address_book_file.h"
#include "storage/atomic_file.h"
#include "storage/csv_column_memory.h"
#include "storage/pal_csv.h"
#include "storage/pal_import.h"
#include "storage/pal_vcard.h"
#include "storage/yubino_doc.h"

namespace {

struct ExportOptions {
    std::string dataFile;
    std::optional<std::string> vcard;
    std::optional<std::string> csv;
    VCardVersion version = VCardVersion::V4;
    CsvEncoding encoding = CsvEncoding::Utf8WithBom;
};

// Nothing, with `why` set, when the arguments do not make one export.
std::optional<ExportOptions> ParseExport(std::span<char*> args, std::string& why) {
    const std::optional<CliOptions> given = ParseCliOptions(
        args, {{"--vcard", true}, {"--csv", true}, {"--vcard-version", true}, {"--encoding", true}}, why);
    if (!given) return std::nullopt;
    ExportOptions options;
    options.vcard = given->Get("--vcard");
    options.csv = given->Get("--csv");
    if (given->positional.size() != 1) return why = WrongArgumentCount(), std::nullopt;
    if (options.vcard.has_value() == options.csv.has_value())
        return why = "--vcard か --csv のどちらか一つを指定してください", std::nullopt;
    options.dataFile = given->positional[0];
    if (const std::optional<std::string> v = given->Get("--vcard-version")) {
        if (*v != "3.0" && *v != "4.0") return why = BadValue("--vcard-version", *v, "3.0 か 4.0"), std::nullopt;
        options.version = *v == "3.0" ? VCardVersion::V3 : VCardVersion::V4;
    }
    if (const std::optional<std::string> e = given->Get("--encoding")) {
        if (*e != "utf-8" && *e != "cp932") return why = BadValue("--encoding", *e, "utf-8 か cp932"), std::nullopt;
        options.encoding = *e == "cp932" ? CsvEncoding::Cp932 : CsvEncoding::Utf8WithBom;
    }
    return options;
}

void PrintProblems(const std::vector<ImportProblem>& problems) {
    for (const ImportProblem& problem : problems) PrintMessageLine(DescribeImportProblem(problem));
}

// The pals the file offers; false (told on standard error) when it offers none to read.
bool PalsOfFile(const char* path, std::vector<ImportedPal>& pals) {
    AddressBookFile file = ReadAddressBookForImport(path);
    switch (file.kind) {
        case AddressBookFile::Kind::CannotOpen:
        case AddressBookFile::Kind::TooLarge:
            std::fprintf(stderr, "ファイルを開けません: %s\n", path);
            return false;
        case AddressBookFile::Kind::OldCsv:
            if (file.oldCsv.status == AddressBookReadResult::Status::WrongFormat) {
                PrintMessageLine(Cp932Text(texts::kCsvWrongFormat));
                return false;
            }
            for (const AddressBookEntry& entry : file.oldCsv.entries) {
                ImportedPal pal;
                pal.pal.m_strHandleName = entry.name;
                pal.pal.m_strMailAddress = entry.address;
                pals.push_back(std::move(pal));
            }
            return true;
        case AddressBookFile::Kind::Csv:
            if (!RolesGiveAddress(file.roles)) {
                const std::optional<std::vector<CsvRole>> remembered =
                    RecallCsvRoles(CsvColumnMemoryFile(), file.header);
                if (!remembered || !RolesGiveAddress(*remembered)) {
                    PrintMessageLine(Cp932Text(texts::kCsvColumnsUnknown));
                    return false;
                }
                ApplyCsvRoles(file, *remembered);
            }
            break;
        case AddressBookFile::Kind::VCard:
            break;
    }
    PrintProblems(file.pals.problems);
    pals = std::move(file.pals.pals);
    return true;
}

}  // namespace

int RunExport(std::span<char*> args) {
    std::string why;
    const std::optional<ExportOptions> options = ParseExport(args, why);
    if (!options) return UsageError("export", why);
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (!OpenPalFile(doc, options->dataFile, CYubinoDoc::OpenMode::Read)) return kExitUsage;
    const std::string bytes = options->vcard ? WriteVCards(app.Pals(), options->version, app.m_dataFolder)
                                             : WritePalCsv(app.Pals(), options->encoding);
    const std::string out = options->vcard.value_or(options->csv.value_or(""));
    if (const WriteResult written = WriteFileAtomically(out, bytes); !written.ok) {
        std::fprintf(stderr, "%s: %s\n", out.c_str(), written.error.c_str());
        return kExitFailure;
    }
    JsonWriter json;
    json.BeginObject().Key("exported").Int(app.GetPalCount()).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

int RunImport(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {}, why);
    if (!options) return UsageError("import", why);
    if (options->positional.size() != 2) return UsageError("import", WrongArgumentCount());
    const std::string& dataFile = options->positional[0];
    std::vector<ImportedPal> pals;
    if (!PalsOfFile(options->positional[1].c_str(), pals)) return kExitUsage;
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) return *refused;
    const int before = app.GetPalCount();
    const PalImportResult result = AddImportedPals(app, pals, app.m_dataFolder);
    if (!doc.OnSaveDocument(dataFile).ok) return kExitFailure;  // the port has said why
    JsonWriter json;
    json.BeginObject().Key("before").Int(before).Key("added").Int(result.added).Key("refused").BeginArray();
    for (const PalImportResult::Refusal& refusal : result.refused) {
        const bool full = refusal.reason == PalImportResult::Refusal::Reason::TableFull;
        json.BeginObject().Key("address").String(cp932::ToUtf8(refusal.address, /*escapeInvalid=*/true));
        json.Key("reason").String(full ? "table full" : "already registered").EndObject();
    }
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}
