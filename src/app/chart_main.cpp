// yubino-chart: draws one chart of the analysis without a display, as PNG, JPEG or SVG. It is the
// Qt side of `yubino-cli chart`, which runs it, so that yubino-cli itself links no Qt.
//   yubino-chart DATA.ybf --kind sex|age|maps|first-year|months|reply-times --out FILE.png|FILE.svg
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analysis/chart_data.h"
#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "archive/mail_archive.h"
#include "archive/mail_figures.h"
#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"
#include "ui/charts/chart_render.h"

namespace {

struct ChartArguments {
    std::string dataFile;
    ChartKind kind = ChartKind::Sex;
    std::string out;
};

// Nothing, with `why` set, for arguments that name no chart this program can write.
std::optional<ChartArguments> ReadArguments(int argc, char* argv[], std::string& why) {
    const std::optional<CliOptions> options = ParseCliOptions(
        std::span<char*>(argv + 1, static_cast<std::size_t>(argc - 1)), {{"--kind", true}, {"--out", true}}, why);
    if (!options) return std::nullopt;
    if (options->positional.size() != 1) return why = WrongArgumentCount(), std::nullopt;
    const std::optional<std::string> kind = options->Get("--kind");
    const std::optional<std::string> out = options->Get("--out");
    if (!kind || !out) return why = "--kind と --out を指定してください", std::nullopt;
    ChartArguments args{options->positional[0], ChartKind::Sex, *out};
    const std::optional<ChartKind> known = ChartKindByName(*kind);
    if (!known) return why = "不明なグラフの種類です: " + *kind, std::nullopt;
    args.kind = *known;
    if (!ChartFileFormatOf(*out)) return why = BadValue("--out", *out, ".png、.jpg、.svg のファイル"), std::nullopt;
    return args;
}

// The chart of `kind`: of the table, or of the mail archive beside the data file, which is
// read without being written or made. Nothing, told, when there is no archive to read.
std::optional<ChartData> ChartOf(ChartKind kind, const CYubinoApp& app, const std::filesystem::path& dataFile) {
    if (std::find(std::begin(kMailChartKinds), std::end(kMailChartKinds), kind) == std::end(kMailChartKinds))
        return BuildChart(app.Pals(), kind);
    const std::filesystem::path archive = CMailArchive::PathFor(dataFile);
    const MailFiguresRead read = ReadMailFigures(archive, CalendarDay::Today());
    const std::string path = cp932::FromUtf8(archive.string()).value_or(archive.filename().string());
    switch (read.status) {
        case MailFiguresRead::Status::Read:
            return MailChart(read.figures, kind);
        case MailFiguresRead::Status::Missing:
            PrintMessageLine(FormatText(texts::kChartNeedsArchive, path));
            break;
        case MailFiguresRead::Status::Failed:
            PrintMessageLine(FormatText(texts::kChartArchiveUnreadable, path) + " (" + read.error + ")");
            break;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string why;
    const auto args = ReadArguments(argc, argv, why);
    if (!args) return UsageError("chart", why);
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (!OpenPalFile(doc, args->dataFile, CYubinoDoc::OpenMode::Read)) return kExitUsage;
    const std::optional<ChartData> chart = ChartOf(args->kind, app, doc.GetPathName());
    if (!chart) return kExitFailure;

    qputenv("QT_QPA_PLATFORM", "offscreen");  // a chart is drawn, never shown
    // Qt's notes about the desktop session (no runtime folder...) mean nothing to a script.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    });
    QApplication application(argc, argv);
    if (!SaveChart(*chart, QString::fromLocal8Bit(args->out))) {
        std::fprintf(stderr, "グラフを保存できませんでした: %s\n", args->out.c_str());
        return kExitFailure;
    }
    return kExitOk;
}
