// yubino-cli import-csv DATA.ybf BOOK.csv [--list]: the address book import without the
// selection dialog. With --list, the entries the dialog would offer; otherwise all of them
// added in file order, as if all had been chosen, and the pal data file saved.
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
#include "storage/address_book_csv.h"
#include "storage/address_book_file.h"
#include "storage/address_book_import.h"
#include "storage/yubino_doc.h"

namespace {

void PrintEntries(const std::vector<AddressBookEntry>& entries) {
    JsonWriter json;
    json.BeginArray();
    for (const AddressBookEntry& entry : entries)
        json.BeginArray().String(cp932::ToUtf8(entry.name)).String(cp932::ToUtf8(entry.address)).EndArray();
    json.EndArray();
    std::printf("%s\n", json.Text().c_str());
}

int ImportAll(const char* dataFile, const std::vector<AddressBookEntry>& entries) {
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) return *refused;
    const int before = app.GetPalCount();
    const int added = ImportAddressBookEntries(app, entries);
    if (!doc.OnSaveDocument(dataFile).ok) return kExitFailure;  // the port has said why
    JsonWriter json;
    json.BeginObject().Key("before").Int(before).Key("added").Int(added);
    json.Key("refused").Int(static_cast<long long>(entries.size()) - added).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

}  // namespace

int RunImportCsv(std::span<char*> args) {
    constexpr std::string_view kName = "import-csv";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--list"}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.size() != 2) return UsageError(kName, WrongArgumentCount());
    const bool list = options->Has("--list");
    const std::vector<const char*> files = {options->positional[0].c_str(), options->positional[1].c_str()};

    const AddressBookReadResult book = ReadAddressBookFile(files[1]);
    switch (book.status) {
        case AddressBookReadResult::Status::Unreadable:
            std::fprintf(stderr, "ファイルを読み込めません: %s（%s）\n", files[1], book.problem.c_str());
            return kExitUsage;
        case AddressBookReadResult::Status::WrongFormat:
            PrintMessageLine(OldCsvRefusalMessage(files[1]));
            return kExitUsage;
        case AddressBookReadResult::Status::Empty:
        case AddressBookReadResult::Status::Read:
            break;
    }
    if (list) {
        PrintEntries(book.entries);
        return kExitOk;
    }
    return ImportAll(files[0], book.entries);
}
