// The pal picture decoder on any bytes (JPEG, GIF, BMP, PNG headers claiming huge sizes,
// truncated data): never a crash, and never a picture past the allocation cap.
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

#include "ui/picture_loader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Image format plugins (JPEG, GIF) are found through the application object.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LoadedPicture picture =
        DecodePicture(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (picture.image.sizeInBytes() > kPictureAllocationLimitMb * qsizetype{1} << 20) std::abort();
    return 0;
}
