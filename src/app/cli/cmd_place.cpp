// yubino-cli place DATA.ybf [--all] [--dry-run]: pals placed on the map of their residence.
// Without --all only the pals with no map name; with it every pal whose residence names a
// place. Prints the pals placed as a JSON array and saves, unless --dry-run.
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
#include "core/pal_placement.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"

namespace {

void PrintPlaced(const std::vector<PlacedPal>& placed) {
    JsonWriter json;
    json.BeginArray();
    for (const PlacedPal& pal : placed) {
        json.BeginObject().Key("pal").String(cp932::ToUtf8(pal.strMailAddress));
        json.Key("residence").String(cp932::ToUtf8(pal.strResidence));
        json.Key("map").String(cp932::ToUtf8(pal.strMapName));
        json.Key("x").Int(pal.nX).Key("y").Int(pal.nY).EndObject();
    }
    json.EndArray();
    std::printf("%s\n", json.Text().c_str());
}

}  // namespace

int RunPlace(std::span<char*> args) {
    constexpr std::string_view kName = "place";
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--all"}, {"--dry-run"}}, why);
    if (!options) return UsageError(kName, why);
    if (options->positional.size() != 1) return UsageError(kName, WrongArgumentCount());
    const std::string& dataFile = options->positional[0];
    const bool all = options->Has("--all");
    const bool dryRun = options->Has("--dry-run");

    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (dryRun) {
        if (!OpenPalFile(doc, dataFile, CYubinoDoc::OpenMode::Read)) return kExitUsage;
    } else if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) {
        return *refused;
    }
    const std::vector<PlacedPal> placed = PlaceStoredPals(app, PalsToPlace(app, all));
    if (!dryRun && !placed.empty() && !doc.OnSaveDocument(dataFile).ok) return kExitFailure;
    PrintPlaced(placed);
    return kExitOk;
}
