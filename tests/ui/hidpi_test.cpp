// On a screen of two device pixels per pixel, the pictures are drawn from pictures of
// twice the pixels, one to one, never scaled up: the maps and their place names, the faces,
// the command icons.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QProcess>

#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/face_icons.h"
#include "ui/lazy_icon.h"

namespace {

// Where `patch` lies pixel for pixel in `image`, or (-1, -1).
QPoint Find(const QImage& image, const QImage& patch) {
    const QImage haystack = image.convertToFormat(QImage::Format_RGB32);
    const QImage needle = patch.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y + needle.height() <= haystack.height(); ++y)
        for (int x = 0; x + needle.width() <= haystack.width(); ++x) {
            if (haystack.pixel(x, y) != needle.pixel(0, 0)) continue;
            if (haystack.copy(x, y, needle.width(), needle.height()) == needle) return {x, y};
        }
    return {-1, -1};
}

// The window of the real program, drawn at `scale` on an empty data file.
QImage Screenshot(const TempDir& dir, const char* scale) {
    FakeUserInterface quiet;
    CYubinoApp empty(quiet);
    WriteFileBytes(dir / "empty.ybf", WritePalData(empty));
    QProcess yubino;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
    env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString((dir / "state").string()));
    yubino.setProcessEnvironment(env);
    const QString shot = QString::fromStdString((dir / (std::string(scale) + ".png")).string());
    yubino.start(QStringLiteral(YUBINO_GUI_PATH),
                 {QStringLiteral("--screenshot"), shot, QString::fromStdString((dir / "empty.ybf").string())});
    EXPECT_TRUE(yubino.waitForFinished(60000));
    EXPECT_EQ(yubino.exitCode(), 0) << yubino.readAllStandardError().toStdString();
    return QImage(shot);
}

TEST(HighDpi, TheMapIsDrawnFromItsPictureOfTwiceThePixels) {
    TempDir dir;
    const QImage normal = Screenshot(dir, "1");
    const QImage doubled = Screenshot(dir, "2");
    ASSERT_FALSE(normal.isNull());
    ASSERT_FALSE(doubled.isNull());
    EXPECT_EQ(doubled.size(), normal.size() * 2);
    // A corner of the map, and a place name over it, as the pictures hold them.
    const struct {
        const char* name;
        const QImage& window;
        const char* scale;
        QRect area;
    } rows[] = {
        {"1x corner", normal, "", QRect(8, 8, 40, 40)},
        {"2x corner", doubled, "@2x", QRect(16, 16, 80, 80)},
        {"1x place name", normal, "", QRect(84, 124, 40, 28)},
        {"2x place name", doubled, "@2x", QRect(168, 248, 80, 56)},
    };
    for (const auto& row : rows) {
        QImage map = QImage(QStringLiteral(YUBINO_MAPS_DIR "/map2%1.png").arg(QLatin1String(row.scale)))
                         .convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(map.isNull()) << row.name;
        QPainter(&map).drawImage(
            0, 0, QImage(QStringLiteral(YUBINO_MAPS_DIR "/labels2%1.png").arg(QLatin1String(row.scale))));
        EXPECT_NE(Find(row.window, map.copy(row.area)), QPoint(-1, -1)) << row.name << ": the map is not drawn 1:1";
    }
}

TEST(HighDpi, FacesAndCommandIconsComeAtTwiceThePixels) {
    const struct {
        const char* name;
        QPixmap drawn;
        QImage expected;
    } rows[] = {
        {"map face", FaceIconForScreen(7, 32, 2.0), FaceIcon(7, 64).toImage()},
        {"list face", FaceIconForScreen(7, 24, 2.0), FaceIcon(7, 48).toImage()},
        {"face at 1x", FaceIconForScreen(7, 32, 1.0), FaceIcon(7, 32).toImage()},
        {"toolbar icon",
         LazyIcon({{16, PictureFile(QStringLiteral(":/actions/16/open.png"))},
                   {32, PictureFile(QStringLiteral(":/actions/32/open.png"))}})
             .pixmap(QSize(16, 16), 2.0),
         QImage(QStringLiteral(":/actions/32/open.png"))},
    };
    for (const auto& row : rows) {
        ASSERT_FALSE(row.drawn.isNull()) << row.name;
        EXPECT_EQ(row.drawn.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  row.expected.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << row.name;
    }
    EXPECT_EQ(FaceIconForScreen(7, 32, 2.0).deviceIndependentSize(), QSizeF(32, 32));
}

}  // namespace
