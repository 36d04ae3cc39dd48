#include "ui/face_icons.h"

#include <QPixmapCache>

QPixmap FaceIcon(int number, int size) {
    if (number < 0 || number >= kFaceIconCount || (size != 24 && size != 32 && size != 48)) return {};
    const QString path = QStringLiteral(":/faces/%1/face%2.png").arg(size).arg(number, 3, 10, QLatin1Char('0'));
    QPixmap pixmap;
    if (!QPixmapCache::find(path, &pixmap)) {
        pixmap.load(path);
        QPixmapCache::insert(path, pixmap);
    }
    return pixmap;
}

QString FaceIconLabel(int number) {
    if (number < 50) return QStringLiteral("男性 %1").arg(number + 1);
    if (number < 100) return QStringLiteral("女性 %1").arg(number - 49);
    return QStringLiteral("他 %1").arg(number - 99);
}
