// yubino-cli stats FILE: the analysis dialog's four tabs, as JSON.
#include <cstdio>

#include "analysis/analysis_tabs.h"
#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"

namespace {

void WriteTab(JsonWriter& json, const AnalysisTab& tab) {
    json.BeginObject().Key("title").String(cp932::ToUtf8(tab.title));
    json.Key("columns").BeginArray();
    for (const TextColumn& column : tab.columns) json.String(cp932::ToUtf8(column.title));
    json.EndArray();
    json.Key("rows").BeginArray();
    for (const TextRow& row : tab.rows) {
        json.BeginArray();
        for (const std::string& text : row) json.String(cp932::ToUtf8(text));
        json.EndArray();
    }
    json.EndArray().EndObject();
}

}  // namespace

int RunStats(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {}, why);
    if (!options) return UsageError("stats", why);
    if (options->positional.size() != 1) return UsageError("stats", WrongArgumentCount());
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (!OpenPalFile(doc, options->positional[0], CYubinoDoc::OpenMode::Read)) return kExitUsage;

    JsonWriter json;
    json.BeginObject().Key("tabs").BeginArray();
    for (int tab = 0; tab < kAnalysisTabCount; ++tab) WriteTab(json, BuildAnalysisTab(app, tab));
    json.EndArray().EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}
