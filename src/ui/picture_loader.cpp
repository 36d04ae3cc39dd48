#include "ui/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "core/picture_path.h"
#include "core/file_read.h"

LoadedPicture LoadPictureFile(const QString& path) {
    const FileReadResult file = ReadRegularFile(QFile::encodeName(path).toStdString(), kPictureFileCap);
    if (!file.Ok()) return {};
    return DecodePicture(QByteArray::fromStdString(file.bytes));
}

LoadedPicture DecodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kPictureAllocationLimitMb);
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
