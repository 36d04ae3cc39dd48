#include "ui/map/picture_cache.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "support/temp_dir.h"
#include "ui/picture_loader.h"

namespace {

std::string SavePicture(const TempDir& dir, const char* name, QSize size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    const std::string path = (dir / name).string();
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return path;
}

// The bounding box of the red pixels drawn on a white canvas.
QRect DrawnRect(CPictureCache& cache, const std::string& path, int box, bool* drew) {
    QImage canvas(100, 100, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    *drew = cache.DrawPicture(painter, path, 10, 5, box);
    painter.end();
    QRect drawn;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) != qRgb(255, 255, 255)) drawn |= QRect(x, y, 1, 1);
    return drawn;
}

TEST(PictureCache, DrawsWithTheLongerSideInTheBox) {
    TempDir dir;
    CPictureCache cache;
    struct Case {
        const char* name;
        QSize size;
        const char* format;
        int box;
        QRect expected;
    } cases[] = {
        {"wide.bmp", {100, 50}, "BMP", 46, {10, 5, 46, 23}}, {"tall.jpg", {50, 100}, "JPG", 46, {10, 5, 23, 46}},
        {"flat.bmp", {100, 30}, "BMP", 46, {10, 5, 46, 13}}, {"square.png", {64, 64}, "PNG", 46, {10, 5, 46, 46}},
        {"wide.bmp", {100, 50}, "BMP", 24, {10, 5, 24, 12}},
    };
    for (const Case& c : cases) {
        const std::string path = SavePicture(dir, c.name, c.size, c.format);
        bool drew = false;
        EXPECT_EQ(DrawnRect(cache, path, c.box, &drew), c.expected) << c.name << " in " << c.box;
        EXPECT_TRUE(drew);
    }
}

TEST(PictureCache, KeepsTheFirstDecodingAndRetriesFailures) {
    TempDir dir;
    CPictureCache cache;
    const std::string path = SavePicture(dir, "p.png", {10, 20}, "PNG");
    cache.LoadPicture(path);
    ASSERT_NE(cache.FindPicture(path), nullptr);
    SavePicture(dir, "p.png", {40, 20}, "PNG");  // replaced on disk: the cache keeps the old
    cache.LoadPicture(path);
    EXPECT_EQ(cache.FindPicture(path)->m_nWidth, 10);

    WriteFileBytes(dir / "text.jpg", "not a picture");
    bool drew = true;
    EXPECT_TRUE(DrawnRect(cache, (dir / "text.jpg").string(), 46, &drew).isNull());
    EXPECT_FALSE(drew);
    EXPECT_EQ(cache.FindPicture((dir / "text.jpg").string()), nullptr);
    EXPECT_EQ(cache.FindPicture(""), nullptr);
    DrawnRect(cache, "", 46, &drew);
    EXPECT_FALSE(drew);
}

TEST(PictureCache, HugePictureIsDecodedReducedWithItsOwnSize) {
    TempDir dir;
    CPictureCache cache;
    const std::string path = SavePicture(dir, "big.jpg", {4000, 2000}, "JPG");
    cache.LoadPicture(path);
    CCachedPicture* picture = cache.FindPicture(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->m_nWidth, 4000);
    EXPECT_EQ(picture->ForBox(46).size(), QSize(46, 23));
}

}  // namespace

// A photo is decoded no larger than it is shown: a JPEG shrinks while it is decoded, by
// the smallest of 1/2, 1/4 and 1/8 that keeps the shown side; the picture's own size stays.
TEST(PictureLoader, DecodesAJpegShrunkToTheSideItIsShownAt) {
    TempDir dir;
    struct Case {
        const char* name;
        QSize size;
        const char* format;
        int shownSide;
        QSize decoded;
    } cases[] = {
        {"photo.jpg", {640, 480}, "JPG", 92, {160, 120}},
        {"half-is-enough.jpg", {400, 200}, "JPG", 200, {200, 100}},
        {"no-eighth-divides-it.jpg", {641, 481}, "JPG", 92, {641, 481}},
        {"smaller-than-shown.jpg", {80, 60}, "JPG", 92, {80, 60}},
        {"a-png-whole.png", {640, 480}, "PNG", 92, {640, 480}},
        {"over-the-cap.jpg", {4000, 2000}, "JPG", kMaxDecodedSide, {1024, 512}},
    };
    for (const Case& c : cases) {
        const LoadedPicture loaded =
            LoadPictureFile(QString::fromStdString(SavePicture(dir, c.name, c.size, c.format)), c.shownSide);
        EXPECT_EQ(loaded.image.size(), c.decoded) << c.name;
        EXPECT_EQ(loaded.sourceSize, c.size) << c.name;
    }
}
