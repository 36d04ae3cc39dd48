// The desktop program: the application object, the port and the main window.
// "--screenshot FILE" starts as usual, saves a picture of the main window and exits.
#include <QApplication>
#include <QTimer>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/app_paths.h"
#include "storage/yubino_session.h"
#include "ui/main/main_frame.h"
#include "ui/qt_user_interface.h"

namespace {

QString ScreenshotFile(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    return at >= 0 ? arguments.value(at + 1) : QString();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(texts::kAppName));
    const QString screenshot = ScreenshotFile(QApplication::arguments());
    if (QApplication::arguments().contains(QStringLiteral("--screenshot")) && screenshot.isEmpty()) {
        qWarning("usage: yubino --screenshot FILE.png");
        return 2;
    }

    CQtUserInterface ui;
    CYubinoApp app(ui);
    const std::filesystem::path programDir = ProgramDirectory();
    CMainFrame frame(app, &ui, ResolveAppPaths(programDir), BundledFile(programDir, texts::kSampleFileName));
    frame.show();
    frame.Start();

    if (!screenshot.isEmpty()) {
        // Nothing can have changed, so the window goes without the save on close.
        QApplication::processEvents();
        return frame.grab().save(screenshot) ? 0 : 1;
    }
    return application.exec();
}
