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
#include "archive/pal_archive.h"
#include "core/cp932.h"
#include "core/file_read.h"
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
    CsvCells cells = CsvCells::Guarded;
};

// Nothing, with `why` set, when the arguments do not make one export.
std::optional<ExportOptions> ParseExport(std::span<char*> args, std::string& why) {
    const std::optional<CliOptions> given = ParseCliOptions(
        args,
        {{"--vcard", true}, {"--csv", true}, {"--vcard-version", true}, {"--encoding", true}, {"--raw-csv", false}},
        why);
    if (!given) return std::nullopt;
    ExportOptions options;
    options.vcard = given->Get("--vcard");
    options.csv = given->Get("--csv");
    if (given->Has("--raw-csv")) options.cells = CsvCells::Raw;
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

// The header's column names (UTF-8) for a message, as code page 932.
std::string ColumnList(const std::vector<std::string>& header) {
    std::string list;
    for (const std::string& column : header) list += (list.empty() ? "" : ", ") + column;
    return cp932::FromUtf8(list).value_or(list);
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
        case AddressBookFile::Kind::NotAddressBook:
            PrintMessageLine(FormatText(texts::kAddressBookNotOne, PathText(path)));
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
                    PrintMessageLine(FormatText(texts::kCsvColumnsFound, ColumnList(file.header)));
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

// The data file and the archive beside it, where the pals' records are kept.
struct Session {
    CConsoleUserInterface ui;
    CYubinoApp app{ui};
    CYubinoDoc doc{app};
    CPalArchive archive{app, [this] { return ArchiveDocument{doc.GetPathName(), doc.IsReadOnly()}; }};
};

std::string FieldName(PalField field) { return texts::kPalFieldLabels[static_cast<int>(field)]; }

void WriteMerged(JsonWriter& json, const std::vector<MergedPal>& merged) {
    json.Key("merged").BeginArray();
    for (const MergedPal& pal : merged) {
        json.BeginObject().Key("address").String(cp932::ToUtf8(pal.address, /*escapeInvalid=*/true));
        json.Key("line").Int(pal.line).Key("filled").BeginArray();
        for (PalField field : pal.filled) json.String(FieldName(field));
        json.EndArray().Key("conflicts").BeginArray();
        for (const FieldConflict& conflict : pal.conflicts)
            json.BeginObject()
                .Key("field")
                .String(FieldName(conflict.field))
                .Key("ours")
                .String(conflict.ours)
                .Key("theirs")
                .String(conflict.theirs)
                .EndObject();
        json.EndArray().EndObject();
    }
    json.EndArray();
}

void WriteDropped(JsonWriter& json, const std::vector<DroppedItems>& dropped) {
    json.Key("dropped").BeginArray();
    for (const DroppedItems& card : dropped) {
        json.BeginObject().Key("address").String(cp932::ToUtf8(card.address, /*escapeInvalid=*/true));
        json.Key("line").Int(card.line).Key("items").BeginArray();
        for (const std::string& item : card.items) json.String(item);
        json.EndArray().EndObject();
    }
    json.EndArray();
}

bool ParseMerge(std::string_view text, MergePolicy& policy) {
    if (text == "fill")
        policy = MergePolicy::Fill;
    else if (text == "theirs")
        policy = MergePolicy::Theirs;
    else if (text == "ours")
        policy = MergePolicy::Ours;
    else
        return false;
    return true;
}

}  // namespace

int RunExport(std::span<char*> args) {
    std::string why;
    const std::optional<ExportOptions> options = ParseExport(args, why);
    if (!options) return UsageError("export", why);
    Session session;
    CYubinoApp& app = session.app;
    if (!OpenPalFile(session.doc, options->dataFile, CYubinoDoc::OpenMode::Edit)) return kExitUsage;
    const std::string bytes = options->vcard ? WriteVCards(app.Pals(), options->version, app.m_dataFolder,
                                                           RecordsForExport(app.Pals(), &session.archive))
                                             : WritePalCsv(app.Pals(), options->encoding, options->cells);
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
    const std::optional<CliOptions> given = ParseCliOptions(args, {{"--merge", true}}, why);
    if (!given) return UsageError("import", why);
    if (given->positional.size() != 2) return UsageError("import", WrongArgumentCount());
    AddressBookImportOptions options;
    if (const std::optional<std::string> merge = given->Get("--merge"); merge && !ParseMerge(*merge, options.policy))
        return UsageError("import", BadValue("--merge", *merge, "fill か theirs か ours"));
    const std::string& dataFile = given->positional[0];
    std::vector<ImportedPal> pals;
    if (!PalsOfFile(given->positional[1].c_str(), pals)) return kExitUsage;
    Session session;
    CYubinoApp& app = session.app;
    if (const std::optional<int> refused = OpenPalFileToWrite(session.doc, dataFile)) return *refused;
    options.cards = &session.archive;
    const int before = app.GetPalCount();
    const AddressBookImportResult result = ImportAddressBookPals(app, pals, app.m_dataFolder, options);
    if (!session.doc.OnSaveDocument(dataFile).ok) return kExitFailure;  // the port has said why
    JsonWriter json;
    json.BeginObject().Key("before").Int(before).Key("added").Int(result.pals.added).Key("refused").BeginArray();
    for (const PalImportResult::Refusal& refusal : result.pals.refused) {
        const bool full = refusal.reason == PalImportResult::Refusal::Reason::TableFull;
        json.BeginObject().Key("address").String(cp932::ToUtf8(refusal.address, /*escapeInvalid=*/true));
        json.Key("reason").String(full ? "table full" : "already registered").EndObject();
    }
    json.EndArray();
    WriteMerged(json, result.merged);
    WriteDropped(json, result.dropped);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}
