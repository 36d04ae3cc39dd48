#include "ui/face_icons.h"

#include <QImage>
#include <QPixmapCache>
#include <QResource>

namespace {

// The sheet of one size: every icon stacked in number order, raw premultiplied pixels
// packed at build time (tools/faces/pack_faces.cpp). Null if the resource is not whole.
const QImage& FaceSheet(int size) {
    static QImage sheet24, sheet32, sheet48;
    QImage& sheet = size == 24 ? sheet24 : size == 32 ? sheet32 : sheet48;
    if (sheet.isNull()) {
        const QResource resource(QStringLiteral(":/faces/%1.argb").arg(size));
        const QByteArray bytes = resource.uncompressedData();
        const qsizetype expected = qsizetype{4} * size * size * kFaceIconCount;
        if (bytes.size() == expected)
            sheet = QImage(reinterpret_cast<const uchar*>(bytes.constData()), size, size * kFaceIconCount,
                           QImage::Format_ARGB32_Premultiplied)
                        .copy();
    }
    return sheet;
}

}  // namespace

QPixmap FaceIcon(int number, int size) {
    if (number < 0 || number >= kFaceIconCount || (size != 24 && size != 32 && size != 48)) return {};
    const QString key = QStringLiteral("yubino-face-%1-%2").arg(size).arg(number);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(FaceSheet(size).copy(0, number * size, size, size));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QString FaceIconLabel(int number) {
    if (number < 50) return QStringLiteral("男性 %1").arg(number + 1);
    if (number < 100) return QStringLiteral("女性 %1").arg(number - 49);
    return QStringLiteral("他 %1").arg(number - 99);
}
