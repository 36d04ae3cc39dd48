#include "ui/face_icons.h"

#include <QImage>
#include <QResource>
#include <algorithm>
#include <array>

namespace {

// The icons of one size, cut from the sheet of that size as they are first drawn. The
// sheet holds every icon stacked in number order as raw premultiplied pixels, packed at
// build time by tools/faces/pack_faces.cpp; it is null if the resource is not whole.
struct FacesOfSize {
    QImage sheet;
    std::array<QPixmap, kFaceIconCount> icons;
    std::array<QPixmap, kFaceIconCount> forDoubleScreens;  // the same pixels at half the size
};

// The sizes packed: 24, 32 and 48 pixels, and 64 and 96 for the 32 and 48 of 2x screens.
constexpr std::array<int, 5> kFaceSizes = {24, 32, 48, 64, 96};

bool IsPackedSize(int size) { return std::find(kFaceSizes.begin(), kFaceSizes.end(), size) != kFaceSizes.end(); }

FacesOfSize& Faces(int size) {
    static std::array<FacesOfSize, kFaceSizes.size()> all;
    FacesOfSize& faces = all[static_cast<std::size_t>(std::find(kFaceSizes.begin(), kFaceSizes.end(), size) -
                                                      kFaceSizes.begin())];
    if (faces.sheet.isNull()) {
        const QByteArray bytes = QResource(QStringLiteral(":/faces/%1.argb").arg(size)).uncompressedData();
        if (bytes.size() == qsizetype{4} * size * size * kFaceIconCount)
            faces.sheet = QImage(reinterpret_cast<const uchar*>(bytes.constData()), size, size * kFaceIconCount,
                                 QImage::Format_ARGB32_Premultiplied)
                              .copy();
    }
    return faces;
}

}  // namespace

QPixmap FaceIcon(int number, int size) {
    if (number < 0 || number >= kFaceIconCount || !IsPackedSize(size)) return {};
    FacesOfSize& faces = Faces(size);
    QPixmap& icon = faces.icons[static_cast<std::size_t>(number)];
    if (icon.isNull()) icon = QPixmap::fromImage(faces.sheet.copy(0, number * size, size, size));
    return icon;
}

QPixmap FaceIconForScreen(int number, int size, qreal ratio) {
    if (ratio <= 1.5 || !IsPackedSize(2 * size) || number < 0 || number >= kFaceIconCount)
        return FaceIcon(number, size);
    QPixmap& icon = Faces(2 * size).forDoubleScreens[static_cast<std::size_t>(number)];
    if (icon.isNull()) {
        icon = FaceIcon(number, 2 * size);
        icon.setDevicePixelRatio(2);
    }
    return icon;
}

QString FaceIconLabel(int number) {
    if (number < 50) return QStringLiteral("男性 %1").arg(number + 1);
    if (number < 100) return QStringLiteral("女性 %1").arg(number - 49);
    return QStringLiteral("他 %1").arg(number - 99);
}
