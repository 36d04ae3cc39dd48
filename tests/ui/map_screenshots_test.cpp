// Renders the nine maps with a few pals on each into $YUBINO_SCREENSHOT_DIR/map-N.png
// (docs/screenshots holds the committed ones). Skipped when the variable is not set.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QRadialGradient>

#include "core/maps.h"
#include "core/pal_placement.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/map/map_view.h"
#include "ui/map/name_popup.h"
#include "ui/map/picture_cache.h"

namespace {

struct ShownPal {
    const char* handle;  // UTF-8
    int x, y;
    int faceIcon;  // -1: the sample picture
};

// Near the prefectural capitals of each map.
const std::vector<ShownPal> kPals[kMapCount] = {
    {{"ゆき", 112, 190, 51}, {"たくみ", 250, 120, 3}, {"ほっきー", 60, 300, -1}},
    {{"りんご", 192, 25, 60}, {"わんこ", 250, 120, 104}, {"せんだい", 230, 240, 8}},
    {{"はなこ", 193, 214, 52}, {"たろう", 300, 180, 0}, {"ちば", 260, 300, -1}, {"ぐんま", 106, 95, 110}},
    {{"しなの", 224, 148, 20}, {"ふじ", 280, 300, 70}, {"こしじ", 288, 30, -1}},
    {{"なにわ", 174, 200, 12}, {"みやこ", 206, 90, 55}, {"いせ", 307, 200, 102}},
    {{"もみじ", 165, 235, 75}, {"いずも", 225, 100, 30}, {"ももたろう", 315, 205, -1}},
    {{"うどん", 269, 30, 41}, {"みかん", 96, 110, 80}, {"かつお", 200, 215, 112}},
    {{"めんたい", 199, 60, 45}, {"くまモン好き", 222, 190, 90}, {"しーさー", 60, 300, -1}},
    {{"ジョン", 320, 120, 33}, {"マリア", 70, 160, 65}, {"日本の友", 173, 100, 5}, {"カンガルー", 260, 250, -1}},
};

std::string SamplePicture(const TempDir& dir) {
    QImage picture(80, 60, QImage::Format_RGB32);
    QPainter painter(&picture);
    QRadialGradient sky(40, 30, 50);
    sky.setColorAt(0, QColor(255, 230, 120));
    sky.setColorAt(1, QColor(230, 90, 60));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(60, 120, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(40, 70), 50, 30);
    painter.end();
    const std::string path = (dir / "sample.jpg").string();
    picture.save(QString::fromStdString(path));
    return path;
}

TEST(MapScreenshots, AllNineMapsWithPals) {
    const QByteArray target = qgetenv("YUBINO_SCREENSHOT_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "YUBINO_SCREENSHOT_DIR not set";
    QDir().mkpath(QString::fromUtf8(target));
    TempDir dir;
    const std::string picture = SamplePicture(dir);
    FakeUserInterface ui;
    CYubinoApp app{ui};
    app.m_bMapAllPals = true;
    std::vector<PalListRow> rows;
    for (int map = 0; map < kMapCount; ++map) {
        int n = 0;
        for (const ShownPal& shown : kPals[map]) {
            CPenPal pal;
            pal.m_strHandleName = Sjis(shown.handle);
            pal.m_strMailAddress = "pal" + std::to_string(map) + "-" + std::to_string(n++) + "@example.jp";
            pal.m_strMapName = g_apszMapNames[map];
            pal.m_nMapX = shown.x;
            pal.m_nMapY = shown.y;
            pal.m_nFaceIcon = std::max(shown.faceIcon, 0);
            pal.m_bUsePicture = shown.faceIcon < 0 ? 1 : 0;
            pal.m_strPictureFile = picture;
            ASSERT_EQ(app.AddPal(pal), 1);
            rows.push_back({pal.m_strMailAddress, false});
        }
    }
    CPictureCache pictures;
    CMapView view(app, pictures);
    view.SetListRows([&] { return rows; });
    view.resize(kMapSize, kMapSize);
    view.show();
    for (int map = 0; map < kMapCount; ++map) {
        view.ApplyMapChoice(map);
        QPixmap shot = view.grab();
        // The name tag is a window of its own; show it where hovering the first pal puts it.
        const ShownPal& first = kPals[map].front();
        CNamePopup tag;
        tag.SetText(Sjis(first.handle));
        QPainter painter(&shot);
        tag.render(&painter, QPoint(first.x + 16 + kMapIconSize, first.y + 16), tag.mask());
        painter.end();
        const QString file = QStringLiteral("%1/map-%2.png").arg(QString::fromUtf8(target)).arg(map);
        EXPECT_TRUE(shot.save(file)) << file.toStdString();
    }
}

// The bundled sample with every pal placed from its residence: the maps that have pals,
// side by side, into $YUBINO_SCREENSHOT_DIR/placed-from-residence.png.
TEST(MapScreenshots, SamplePlacedFromResidence) {
    const QByteArray target = qgetenv("YUBINO_SCREENSHOT_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "YUBINO_SCREENSHOT_DIR not set";
    FakeUserInterface ui;
    CYubinoApp app{ui};
    app.m_bMapAllPals = true;
    ReadPalData(app, ReadFileBytes(YUBINO_SAMPLE_FILE));
    ASSERT_GT(app.GetPalCount(), 0);
    const auto placed = PlaceStoredPals(app, PalsToPlace(app, true));
    EXPECT_EQ(static_cast<int>(placed.size()), app.GetPalCount()) << "every sample residence names a place";
    std::vector<PalListRow> rows;
    for (const CPenPal& pal : app.Pals()) rows.push_back({pal.m_strMailAddress, false});

    std::vector<int> maps;
    for (int map = 0; map < kMapCount; ++map) {
        if (std::any_of(app.Pals().begin(), app.Pals().end(),
                        [&](const CPenPal& p) { return IsPalOnMap(p, g_apszMapNames[map]); }))
            maps.push_back(map);
    }
    CPictureCache pictures;
    CMapView view(app, pictures);
    view.SetListRows([&] { return rows; });
    view.resize(kMapSize, kMapSize);
    view.show();
    const int columns = 3;
    const int rowsOfMaps = (static_cast<int>(maps.size()) + columns - 1) / columns;
    QImage sheet(columns * kMapSize, rowsOfMaps * kMapSize, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < maps.size(); ++i) {
        view.ApplyMapChoice(maps[i]);
        painter.drawPixmap(static_cast<int>(i % columns) * kMapSize, static_cast<int>(i / columns) * kMapSize,
                           view.grab());
    }
    painter.end();
    const QString file = QString::fromUtf8(target) + QStringLiteral("/placed-from-residence.png");
    EXPECT_TRUE(sheet.scaled(sheet.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(file));
}

}  // namespace
