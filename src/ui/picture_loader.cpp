#include "ui/picture_loader.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// Enough for any reduced picture; a reader that would need more refuses instead.
constexpr int kAllocationLimitMb = 128;

}  // namespace

LoadedPicture LoadPictureFile(const QString& path) {
    // A pipe or a device would keep the reader waiting, or reading, for ever.
    if (!QFileInfo(path).isFile()) return {};
    QImageReader reader(path);
    reader.setAllocationLimit(kAllocationLimitMb);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) return {};
    if (size.width() > kMaxDecodedSide || size.height() > kMaxDecodedSide)
        reader.setScaledSize(size.scaled(kMaxDecodedSide, kMaxDecodedSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return {};
    return {image, size};
}
