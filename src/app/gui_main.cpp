// The desktop program: the application object, the port and the main window.
// "--screenshot FILE" starts as usual, saves a picture of the main window and exits.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <string_view>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/app_paths.h"
#include "storage/yubino_session.h"
#include "ui/main/main_frame.h"
#include "ui/main/scripted_changes.h"
#include "ui/qt_translations.h"
#include "ui/qt_user_interface.h"

namespace {

// --screenshot's exit status: 0 the picture with no message; the messages start-up showed
// went to standard error.
constexpr int kExitNoScreenshot = 1;
constexpr int kExitScreenshotWithMessages = 3;

bool HasDisplay() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

// Options that need no window can run without a display.
bool NeedsNoWindow(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--screenshot" || arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v") return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        if (!NeedsNoWindow(argc, argv)) {
            std::fputs(
                "Yubino を表示できる画面がありません。X または Wayland のデスクトップで起動するか、\n"
                "xvfb-run -a yubino で仮想の画面を使ってください。\n"
                "画面なしでウィンドウの画像だけを保存するには: yubino --screenshot FILE.png\n",
                stderr);
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(texts::kAppName));
    QApplication::setApplicationVersion(QStringLiteral("2.00"));
    InstallJapaneseQtTexts(application);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Yubino: メールフレンドをリストと地図で管理します。"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("メインウィンドウの画像を FILE に保存して終了します。"),
                                              QStringLiteral("FILE"));
    parser.addOption(screenshotOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("開くメールフレンドデータのファイル (.ybf)"),
                                 QStringLiteral("[file]"));
    parser.process(application);
    const QString screenshot = parser.value(screenshotOption);
    const QStringList files = parser.positionalArguments();

    CQtUserInterface ui;
    ui.SetUnattended(!screenshot.isEmpty());
    CYubinoApp app(ui);
    const std::filesystem::path programDir = ProgramDirectory();
    AppPaths paths = ResolveAppPaths(programDir);
    // A screenshot stores nothing on close, so it makes no settings file either.
    paths.makeSettingsFile = screenshot.isEmpty();
    CMainFrame frame(app, &ui, paths, BundledFile(programDir, texts::kSampleFileName));
    frame.LoadWindowState(WindowStateFile());
    frame.SetWelcomeOnFirstStart(screenshot.isEmpty());
    frame.show();
    CScriptedChanges* script = CScriptedChanges::FromEnvironment(app, &frame);
    frame.Start(files.isEmpty() ? std::filesystem::path() : std::filesystem::path(files.first().toStdString()));

    if (script) script->Begin();
    if (!screenshot.isEmpty()) {
        // Nothing can have changed, so the window goes without the save on close.
        QApplication::processEvents();
        if (!frame.grab().save(screenshot)) return kExitNoScreenshot;
        return ui.MessageShown() ? kExitScreenshotWithMessages : 0;
    }
    // The days to remember, told once a day when the window is up.
    QTimer::singleShot(0, &frame, [&frame] { frame.NotifyDaysToRemember(); });
    return application.exec();
}
