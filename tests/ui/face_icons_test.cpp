#include "ui/face_icons.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

TEST(FaceIcons, EveryIconExistsAtEverySize) {
    for (int size : {24, 32, 48}) {
        for (int n = 0; n < kFaceIconCount; ++n) {
            QPixmap icon = FaceIcon(n, size);
            ASSERT_FALSE(icon.isNull()) << n << " at " << size;
            EXPECT_EQ(icon.size(), QSize(size, size)) << n;
        }
    }
    EXPECT_TRUE(FaceIcon(-1, 32).isNull());
    EXPECT_TRUE(FaceIcon(115, 32).isNull());
}

// The program draws from sheets packed at build time; every icon must be its source
// picture, pixel for pixel, at every size.
TEST(FaceIcons, PackedIconsAreTheirSourcePictures) {
    for (int size : {24, 32, 48}) {
        for (int n = 0; n < kFaceIconCount; ++n) {
            const QString source =
                QStringLiteral(YUBINO_FACES_DIR "/%1/face%2.png").arg(size).arg(n, 3, 10, QLatin1Char('0'));
            const QImage expected = QImage(source).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            ASSERT_FALSE(expected.isNull()) << source.toStdString();
            ASSERT_EQ(FaceIcon(n, size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected)
                << source.toStdString();
        }
    }
}

TEST(FaceIcons, LabelsNumberWithinEachGroup) {
    EXPECT_EQ(FaceIconLabel(0), QStringLiteral("男性 1"));
    EXPECT_EQ(FaceIconLabel(49), QStringLiteral("男性 50"));
    EXPECT_EQ(FaceIconLabel(50), QStringLiteral("女性 1"));
    EXPECT_EQ(FaceIconLabel(100), QStringLiteral("他 1"));
    EXPECT_EQ(FaceIconLabel(114), QStringLiteral("他 15"));
}

}  // namespace
