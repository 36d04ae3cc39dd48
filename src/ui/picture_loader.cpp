#include "ui/picture_loader.h"

#include <QFileInfo>
#include <QImageReader>

#include "core/picture_path.h"

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

LoadedPicture LoadPalPicture(const std::string& stored, const std::filesystem::path& dataFolder) {
    for (const std::filesystem::path& candidate : PictureFileCandidates(stored, dataFolder)) {
        LoadedPicture loaded = LoadPictureFile(QString::fromStdString(candidate.string()));
        if (!loaded.image.isNull()) return loaded;
    }
    return {};
}
