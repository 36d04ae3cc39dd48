#include "ui/face_icons.h"

#include <QImage>
#include <QResource>
#include <array>

namespace {

// The icons of one size, cut from the sheet of that size as they are first drawn. The
// sheet holds every icon stacked in number order as raw premultiplied pixels, packed at
// build time by tools/faces/pack_faces.cpp; it is null if the resource is not whole.
struct FacesOfSize {
    QImage sheet;
    std::array<QPixmap, kFaceIconCount> icons;
};

FacesOfSize& Faces(int size) {
    static FacesOfSize faces24, faces32, faces48;
    FacesOfSize& faces = size == 24 ? faces24 : size == 32 ? faces32 : faces48;
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
    if (number < 0 || number >= kFaceIconCount || (size != 24 && size != 32 && size != 48)) return {};
    FacesOfSize& faces = Faces(size);
    QPixmap& icon = faces.icons[static_cast<std::size_t>(number)];
    if (icon.isNull()) icon = QPixmap::fromImage(faces.sheet.copy(0, number * size, size, size));
    return icon;
}

QString FaceIconLabel(int number) {
    if (number < 50) return QStringLiteral("男性 %1").arg(number + 1);
    if (number < 100) return QStringLiteral("女性 %1").arg(number - 49);
    return QStringLiteral("他 %1").arg(number - 99);
}
