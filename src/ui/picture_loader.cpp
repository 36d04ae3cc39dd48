#include "ui/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>

#include "core/picture_path.h"
#include "core/file_read.h"

namespace {

// Qt's JPEG reader shrinks while decoding below this quality, and scales no further when
// asked for exactly the shrunk size.
constexpr int kShrinkingJpegQuality = 49;

// The smallest 1/2, 1/4 or 1/8 of `size` that keeps `shownSide` pixels on the longer side;
// `size` itself when none divides it evenly.
QSize JpegShrunkSize(QSize size, int shownSide) {
    int factor = 1;
    while (factor < 8 && std::max(size.width(), size.height()) / (factor * 2) >= shownSide &&
           size.width() % (factor * 2) == 0 && size.height() % (factor * 2) == 0)
        factor *= 2;
    return size / factor;
}

}  // namespace

LoadedPicture LoadPictureFile(const QString& path, int shownSide) {
    const FileReadResult file = ReadRegularFile(QFile::encodeName(path).toStdString(), kPictureFileCap);
    if (!file.Ok()) return {};
    return DecodePicture(QByteArray::fromStdString(file.bytes), shownSide);
}

LoadedPicture DecodePicture(const QByteArray& bytes, int shownSide) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kPictureAllocationLimitMb);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) return {};
    const QSize shrunk = reader.format() == "jpeg" ? JpegShrunkSize(size, shownSide) : size;
    if (shrunk != size && shrunk.width() <= kMaxDecodedSide && shrunk.height() <= kMaxDecodedSide) {
        reader.setQuality(kShrinkingJpegQuality);
        reader.setScaledSize(shrunk);
    } else if (size.width() > kMaxDecodedSide || size.height() > kMaxDecodedSide) {
        reader.setScaledSize(size.scaled(kMaxDecodedSide, kMaxDecodedSide, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (image.isNull()) return {};
    return {image, size};
}

LoadedPicture LoadPalPicture(const std::string& stored, const std::filesystem::path& dataFolder, int shownSide) {
    for (const std::filesystem::path& candidate : PictureFileCandidates(stored, dataFolder)) {
        LoadedPicture loaded = LoadPictureFile(QString::fromStdString(candidate.string()), shownSide);
        if (!loaded.image.isNull()) return loaded;
    }
    return {};
}
