// Redrawing the map with 500 pals on it, half of them shown by pictures already in the
// cache: one redraw must fit in a frame (16 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>

#include "core/maps.h"
#include "core/silent_user_interface.h"
#include "core/yubino_app.h"
#include "ui/map/map_view.h"
#include "ui/map/picture_cache.h"

namespace {

std::string SavePicture(const std::filesystem::path& dir, int n) {
    QImage picture(160 + n % 7 * 20, 120 + n % 5 * 20, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv(n * 37 % 360, 200, 220));
    const std::string path = (dir / ("pal" + std::to_string(n) + ".jpg")).string();
    picture.save(QString::fromStdString(path));
    return path;
}

void BM_MapRedraw500Pals(benchmark::State& state) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "yubino-bench-map";
    std::filesystem::create_directories(dir);
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    app.m_bMapAllPals = true;
    std::vector<PalListRow> rows;
    for (int n = 0; n < kMaxPals; ++n) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(n) + "@example.jp";
        pal.m_strHandleName = "pal " + std::to_string(n);
        pal.m_strMapName = g_apszMapNames[2];
        pal.m_nMapX = n * 37 % 369;
        pal.m_nMapY = n * 53 % 369;
        pal.m_nFaceIcon = n % 115;
        if (n % 2 == 1) {
            pal.m_bUsePicture = 1;
            pal.m_strPictureFile = SavePicture(dir, n);
        }
        app.AddPal(pal);
        rows.push_back({pal.m_strMailAddress, false});
    }
    CPictureCache pictures;
    CMapView view(app, pictures);
    view.SetListRows([&] { return rows; });
    view.resize(kMapSize, kMapSize);
    view.show();
    view.ApplyMapChoice(2);  // the first drawing fills the cache
    for (auto _ : state) view.RedrawNow();
    state.counters["icons"] = view.IconSlots().Count();
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MapRedraw500Pals)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
