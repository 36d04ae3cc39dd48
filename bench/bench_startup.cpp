// Start-up to first paint, measured per process: this program starts itself as Yubino's
// main window on a 500-pal file, as a plain Qt window that shows the same widgets with no
// program logic (the floor for this window in Qt), and as a bare QMainWindow, in turn, and
// reports the median time from launch to the end of each window's first paint.
//   bench_startup [runs]
//   bench_startup --prepare DIR   writes the 500-pal file set into DIR, so that a profiler
//                                 can run one child: bench_startup --yubino DIR (or --plain)
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "storage/window_state.h"
#include "ui/main/main_frame.h"
#include "ui/main/yubino_view.h"
#include "ui/qt_translations.h"
#include "ui/qt_user_interface.h"

namespace fs = std::filesystem;

namespace {

// Tells the parent once the window's first paint is done, then ends the process: the
// first paint of the watched widget starts a zero timer, which fires when the event loop
// is back, after the whole window has been painted.
class CFirstPaintReporter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, [] {
                std::fputs("painted\n", stdout);
                std::fflush(stdout);
                std::_Exit(0);
            });
        return false;
    }
};

int RunYubino(int argc, char* argv[], const fs::path& dir) {
    QApplication application(argc, argv);
    InstallJapaneseQtTexts(application);
    CQtUserInterface ui;
    CYubinoApp app(ui);
    CMainFrame frame(app, &ui, AppPaths{dir / "yubino.cfg", dir / "sample.ybf"});
    frame.LoadWindowState(dir / "window-state");
    CFirstPaintReporter reporter;
    frame.GetListView()->DetailsView().viewport()->installEventFilter(&reporter);
    frame.show();
    frame.Start();
    return application.exec();
}

int RunMinimal(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    auto* label = new QLabel(QStringLiteral("Yubino"), &window);
    window.setCentralWidget(label);
    window.resize(940, 720);
    CFirstPaintReporter reporter;
    label->installEventFilter(&reporter);
    window.show();
    return application.exec();
}

// Yubino's widgets without Yubino: menus, a toolbar of 13 icons, a 400 x 400 picture over
// a text pane, and a tree of 500 rows of six Japanese texts with a 24-pixel icon each.
int RunPlainWindow(int argc, char* argv[]) {
    QApplication application(argc, argv);
    InstallJapaneseQtTexts(application);
    QMainWindow window;
    for (const char* title : {"ﾌｧｲﾙ(&F)", "表示(&V)", "ﾂｰﾙ(&T)", "ﾍﾙﾌﾟ(&H)"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(title));
        for (int i = 0; i < 6; ++i) menu->addAction(QStringLiteral("ｺﾏﾝﾄﾞ %1").arg(i));
    }
    QToolBar* toolBar = window.addToolBar(QStringLiteral("main"));
    toolBar->setIconSize({16, 16});
    for (const char* icon : {"open", "save", "list_all", "list_map_only", "map_all", "map_selected", "add_pal",
                             "edit_pal", "delete_pal", "add_mail", "analysis", "send_mail", "about"})
        toolBar->addAction(QIcon(QStringLiteral(":/actions/16/%1.png").arg(QLatin1String(icon))), QString());
    auto* splitter = new QSplitter(Qt::Horizontal, &window);
    auto* left = new QSplitter(Qt::Vertical, splitter);
    auto* picture = new QLabel(left);
    picture->setPixmap(QPixmap(QStringLiteral(":/maps/map2.png")));
    picture->setMinimumSize(400, 400);
    new QPlainTextEdit(QStringLiteral("最後に受け取ったメールの文章"), left);
    auto* model = new QStandardItemModel(0, 6, &window);
    QPixmap face(24, 24);
    face.fill(Qt::darkCyan);
    const QIcon icon(face);
    for (int row = 0; row < kMaxPals; ++row) {
        QList<QStandardItem*> items;
        items << new QStandardItem(icon, QStringLiteral("ハンドル%1").arg(row));
        for (const char* cell : {"山田太郎", "女", "２０", "pal@example.jp", "関東"})
            items << new QStandardItem(QString::fromUtf8(cell));
        model->appendRow(items);
    }
    auto* tree = new QTreeView(splitter);
    tree->setModel(model);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setIconSize({24, 24});
    window.setCentralWidget(splitter);
    window.resize(940, 720);
    CFirstPaintReporter reporter;
    tree->viewport()->installEventFilter(&reporter);
    window.show();
    return application.exec();
}

void WriteFiveHundredPals(const fs::path& dir) {
    CQtUserInterface ui;
    CYubinoApp app(ui);
    for (int i = 0; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strHandleName = "Handle " + std::to_string(i);
        pal.m_strMapName = "\x8A\xD6\x93\x8C";
        pal.m_nFaceIcon = i % 115;
        app.AddPal(pal);
    }
    std::ofstream(dir / "pals.ybf", std::ios::binary) << WritePalData(app);
    std::ofstream(dir / "yubino.cfg", std::ios::binary) << (dir / "pals.ybf").string();
    WindowState state;
    for (int i = 0; i < 8; ++i) AddRecentFile(state.recentFiles, dir / ("recent" + std::to_string(i) + ".ybf"));
    WriteWindowState(dir / "window-state", state);
}

double LaunchToPaint(const QString& program, const QStringList& arguments) {
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    while (!child.canReadLine() && child.state() != QProcess::NotRunning) child.waitForReadyRead(10000);
    const double ms = timer.nsecsElapsed() / 1e6;
    child.waitForFinished();
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 3 && std::string(argv[1]) == "--yubino") return RunYubino(argc, argv, argv[2]);
    if (argc >= 2 && std::string(argv[1]) == "--minimal") return RunMinimal(argc, argv);
    if (argc >= 2 && std::string(argv[1]) == "--plain") return RunPlainWindow(argc, argv);
    if (argc >= 3 && std::string(argv[1]) == "--prepare") {
        QCoreApplication probe(argc, argv);
        fs::create_directories(argv[2]);
        WriteFiveHundredPals(argv[2]);
        return 0;
    }

    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 15;
    const fs::path dir = fs::temp_directory_path() / ("yubino-startup-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        QCoreApplication probe(argc, argv);
        WriteFiveHundredPals(dir);
    }
    const QString self = QString::fromLocal8Bit(argv[0]);
    std::vector<double> yubino, plain, minimal;
    for (int i = 0; i < runs; ++i) {
        minimal.push_back(LaunchToPaint(self, {QStringLiteral("--minimal")}));
        plain.push_back(LaunchToPaint(self, {QStringLiteral("--plain")}));
        yubino.push_back(LaunchToPaint(self, {QStringLiteral("--yubino"), QString::fromStdString(dir.string())}));
    }
    fs::remove_all(dir);
    const double y = Median(yubino), p = Median(plain), m = Median(minimal);
    std::printf("launch to first paint, median of %d runs (offscreen)\n", runs);
    std::printf("  minimal QMainWindow:                     %7.1f ms\n", m);
    std::printf("  plain Qt window, the same widgets:       %7.1f ms\n", p);
    std::printf("  Yubino main window, 500 pals:            %7.1f ms\n", y);
    std::printf("  Yubino / plain window (target <= 1.2):   %7.2f\n", y / p);
    std::printf("  Yubino / minimal window:                 %7.2f\n", y / m);
    return 0;
}
