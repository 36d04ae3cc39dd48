#include "ui/lazy_icon.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <map>

namespace {

// An icon of a 16 and a 32 picture that counts how often each is made.
struct CountedIcon {
    std::map<int, int> made;
    QIcon icon = LazyIcon({{32, Maker(32, Qt::blue)}, {16, Maker(16, Qt::red)}});

    std::function<QPixmap()> Maker(int side, Qt::GlobalColor color) {
        return [this, side, color] {
            ++made[side];
            QPixmap picture(side, side);
            picture.fill(color);
            return picture;
        };
    }
};

TEST(LazyIcon, MakesEachPictureOnlyWhenFirstDrawnAtItsSize) {
    CountedIcon counted;
    EXPECT_EQ(counted.icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
    EXPECT_EQ(counted.icon.actualSize(QSize(24, 24)), QSize(24, 24));
    EXPECT_TRUE(counted.made.empty()) << "asking for sizes made a picture";

    EXPECT_EQ(counted.icon.pixmap(16).toImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(counted.icon.pixmap(16).toImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(counted.made, (std::map<int, int>{{16, 1}}));

    // Between the sizes, the larger picture is scaled down; past them, the largest is used.
    EXPECT_EQ(counted.icon.pixmap(20).toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(counted.icon.pixmap(64).size(), QSize(32, 32));
    EXPECT_EQ(counted.made, (std::map<int, int>{{16, 1}, {32, 1}}));
}

TEST(LazyIcon, PaintsAndDisablesLikeAnyIcon) {
    CountedIcon counted;
    QImage canvas(16, 16, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    counted.icon.paint(&painter, QRect(0, 0, 16, 16));
    painter.end();
    EXPECT_EQ(canvas.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_NE(counted.icon.pixmap(16, QIcon::Disabled).toImage().pixelColor(0, 0), QColor(Qt::red));

    // Copies share what was made.
    const QIcon copy = counted.icon;
    copy.pixmap(16);
    EXPECT_EQ(counted.made[16], 1);
}

TEST(LazyIcon, APictureThatCannotBeMadeLeavesTheIconEmptyButWhole) {
    const QIcon icon = LazyIcon({{16, PictureFile(QStringLiteral(":/no/such/picture.png"))}});
    EXPECT_TRUE(icon.pixmap(16).isNull());
    EXPECT_FALSE(icon.isNull());
}

}  // namespace
