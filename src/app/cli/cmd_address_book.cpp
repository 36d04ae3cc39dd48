// yubino-cli export and import: pals out as vCard or CSV, and any address book in, all
// that can be added by the rules of the import.
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"
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

constexpr const char* kExportUsage =
    "使い方: yubino-cli export DATA.ybf --vcard OUT.vcf [--vcard-version 3.0|4.0] | --csv OUT.csv "
    "[--encoding utf-8|cp932] [--raw-csv]\n";
constexpr const char* kImportUsage =
    "使い方: yubino-cli import DATA.ybf FILE.vcf|FILE.csv [--merge fill|theirs|ours]\n";

int Usage(const char* text) {
    std::fputs(text, stderr);
    return kExitUsage;
}

struct ExportOptions {
    const char* dataFile = nullptr;
    const char* vcard = nullptr;
    const char* csv = nullptr;
    VCardVersion version = VCardVersion::V4;
    CsvEncoding encoding = CsvEncoding::Utf8WithBom;
    CsvCells cells = CsvCells::Guarded;
};

bool ParseExport(std::span<char*> args, ExportOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--vcard" && hasValue)
            options.vcard = args[++i];
        else if (arg == "--csv" && hasValue)
            options.csv = args[++i];
        else if (arg == "--vcard-version" && hasValue) {
            const std::string_view v = args[++i];
            if (v != "3.0" && v != "4.0") return false;
            options.version = v == "3.0" ? VCardVersion::V3 : VCardVersion::V4;
        } else if (arg == "--encoding" && hasValue) {
            const std::string_view e = args[++i];
            if (e != "utf-8" && e != "cp932") return false;
            options.encoding = e == "cp932" ? CsvEncoding::Cp932 : CsvEncoding::Utf8WithBom;
        } else if (arg == "--raw-csv")
            options.cells = CsvCells::Raw;
        else if (!options.dataFile && !arg.starts_with("--"))
            options.dataFile = args[i];
        else
            return false;
    }
    return options.dataFile && (options.vcard == nullptr) != (options.csv == nullptr);
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
    ExportOptions options;
    if (!ParseExport(args, options)) return Usage(kExportUsage);
    Session session;
    CYubinoApp& app = session.app;
    if (!OpenPalFile(session.doc, options.dataFile, CYubinoDoc::OpenMode::Edit)) return kExitUsage;
    const std::string bytes = options.vcard ? WriteVCards(app.Pals(), options.version, app.m_dataFolder,
                                                          RecordsForExport(app.Pals(), &session.archive))
                                            : WritePalCsv(app.Pals(), options.encoding, options.cells);
    const char* out = options.vcard ? options.vcard : options.csv;
    if (const WriteResult written = WriteFileAtomically(out, bytes); !written.ok) {
        std::fprintf(stderr, "%s: %s\n", out, written.error.c_str());
        return kExitFailure;
    }
    JsonWriter json;
    json.BeginObject().Key("exported").Int(app.GetPalCount()).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

int RunImport(std::span<char*> args) {
    AddressBookImportOptions options;
    std::vector<const char*> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (std::string_view(args[i]) == "--merge") {
            if (i + 1 >= args.size() || !ParseMerge(args[++i], options.policy)) return Usage(kImportUsage);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return Usage(kImportUsage);
    std::vector<ImportedPal> pals;
    if (!PalsOfFile(files[1], pals)) return kExitUsage;
    Session session;
    CYubinoApp& app = session.app;
    if (const std::optional<int> refused = OpenPalFileToWrite(session.doc, files[0])) return *refused;
    options.cards = &session.archive;
    const int before = app.GetPalCount();
    const AddressBookImportResult result = ImportAddressBookPals(app, pals, app.m_dataFolder, options);
    if (!session.doc.OnSaveDocument(files[0]).ok) return kExitFailure;  // the port has said why
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
