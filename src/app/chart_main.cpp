// yubino-chart: draws one chart of the analysis without a display, as PNG or SVG. It is the
// Qt side of `yubino-cli chart`, which runs it, so that yubino-cli itself links no Qt.
//   yubino-chart DATA.ybf --kind sex|age|maps|first-year|months|reply-times --out FILE.png|FILE.svg
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "analysis/chart_data.h"
#include "app/cli/cli_commands.h"
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
    const char* dataFile = nullptr;
    std::string_view kind;
    const char* out = nullptr;
};

std::optional<ChartArguments> ReadArguments(int argc, char* argv[]) {
    ChartArguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--kind" && i + 1 < argc)
            args.kind = argv[++i];
        else if (arg == "--out" && i + 1 < argc)
            args.out = argv[++i];
        else if (!args.dataFile && !arg.starts_with("--"))
            args.dataFile = argv[i];
        else
            return std::nullopt;
    }
    if (!args.dataFile || args.kind.empty() || !args.out) return std::nullopt;
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
    const auto args = ReadArguments(argc, argv);
    if (!args) {
        std::fputs(
            "使い方: yubino-cli chart DATA.ybf --kind sex|age|maps|first-year|months|reply-times "
            "--out FILE.png|FILE.svg\n",
            stderr);
        return kExitUsage;
    }
    const auto kind = ChartKindByName(args->kind);
    if (!kind) {
        std::fprintf(stderr, "不明なグラフの種類です: %.*s\n", int(args->kind.size()), args->kind.data());
        return kExitUsage;
    }
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    if (!OpenPalFile(doc, args->dataFile, CYubinoDoc::OpenMode::Read)) return kExitUsage;
    const std::optional<ChartData> chart = ChartOf(*kind, app, doc.GetPathName());
    if (!chart) return kExitFailure;

    qputenv("QT_QPA_PLATFORM", "offscreen");  // a chart is drawn, never shown
    // Qt's notes about the desktop session (no runtime folder...) mean nothing to a script.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    });
    QApplication application(argc, argv);
    if (!SaveChart(*chart, QString::fromLocal8Bit(args->out))) {
        std::fprintf(stderr, "グラフを保存できませんでした: %s\n", args->out);
        return kExitFailure;
    }
    return kExitOk;
}
