// The pal list's refill and the main window's start-up, on the offscreen platform.
//   BM_FillList:                FillList of 500 pals that all use pictures
//   BM_FillListAndPaint:        the same refill followed by drawing the details rows
//   BM_StartupToFirstPaint:     main window with a 500-pal file, from construction to its first paint
//   BM_MinimalWindowFirstPaint: a bare QMainWindow with a label, for comparison
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"
#include "ui/map/picture_cache.h"
#include "ui/qt_user_interface.h"

namespace fs = std::filesystem;

namespace {

fs::path BenchDir() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("yubino-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// 500 pals; every one uses one of 25 picture files.
void FillTable(CYubinoApp& app) {
    for (int i = 0; i < 25; ++i) {
        QImage picture(80 + i, 60, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 14, 200, 220));
        picture.save(QString::fromStdString((BenchDir() / ("p" + std::to_string(i) + ".png")).string()));
    }
    for (int i = 0; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strHandleName = "Handle name number " + std::to_string(i);
        pal.m_strName = "Name " + std::to_string(i);
        pal.m_strMapName = "\x8A\xD6\x93\x8C";  // 関東
        pal.m_nFaceIcon = i % 115;
        pal.m_bUsePicture = 1;
        const std::string picture = std::to_string(i % 25);
        pal.m_strPictureFile = (BenchDir() / ("p" + picture + ".png")).string();
        app.AddPal(pal);
    }
}

// The pal list over a table of 500 pals with pictures, listing all of them.
struct FilledList {
    FilledList() {
        app.m_bListAllPals = true;
        FillTable(app);
    }
    CQtUserInterface ui;
    CYubinoApp app{ui};
    CPictureCache pictures;
    CYubinoView view{app, pictures};
};

void BM_FillList(benchmark::State& state) {
    FilledList list;
    for (auto _ : state) {
        list.view.FillList();
        benchmark::DoNotOptimize(list.view.Model().rowCount());
    }
}
BENCHMARK(BM_FillList)->Unit(benchmark::kMillisecond);

void BM_FillListAndPaint(benchmark::State& state) {
    FilledList list;
    CYubinoView& view = list.view;
    view.resize(520, 700);
    view.show();
    QImage canvas(520, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.FillList();
        QPainter painter(&canvas);
        view.render(&painter);
    }
}
BENCHMARK(BM_FillListAndPaint)->Unit(benchmark::kMillisecond);

// Runs the event loop until `widget` has painted once.
class CFirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

void WaitForPaint(QWidget& widget) {
    CFirstPaint watch;
    widget.installEventFilter(&watch);
    while (!watch.painted) QApplication::processEvents(QEventLoop::AllEvents, 5);
    widget.removeEventFilter(&watch);
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    CQtUserInterface seedUi;
    CYubinoApp seed(seedUi);
    FillTable(seed);
    const fs::path data = BenchDir() / "pals.ybf";
    std::ofstream(data, std::ios::binary) << WritePalData(seed);
    std::ofstream(BenchDir() / "yubino.cfg", std::ios::binary) << data.string();
    for (auto _ : state) {
        CQtUserInterface ui;
        CYubinoApp app(ui);
        CMainFrame frame(app, &ui, AppPaths{BenchDir() / "yubino.cfg", BenchDir() / "sample.ybf"});
        frame.show();
        frame.Start();
        WaitForPaint(frame.GetListView()->DetailsView());
        state.PauseTiming();
        frame.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_MinimalWindowFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        auto* label = new QLabel(QStringLiteral("Yubino"), &window);
        window.setCentralWidget(label);
        window.resize(940, 720);
        window.show();
        WaitForPaint(*label);
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MinimalWindowFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(BenchDir(), ec);
    return 0;
}
