// Packs the face icons of one size into one sheet the program can draw from without
// decoding: the icons stacked top to bottom in number order, as raw premultiplied ARGB32
// pixels in this machine's byte order, with no header. The build runs it, also for each
// map's layer of place names (one picture of the map's size).
//   yubino-pack-faces OUT SIZE face000.png face001.png ...
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fputs("usage: yubino-pack-faces OUT SIZE face000.png ...\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[2]);
    const int count = argc - 3;
    QImage sheet(size, size * count, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < count; ++i) {
        const QImage face(QString::fromLocal8Bit(argv[3 + i]));
        if (face.width() != size || face.height() != size) {
            std::fprintf(stderr, "yubino-pack-faces: %s is not a %d x %d picture\n", argv[3 + i], size, size);
            return 1;
        }
        const QImage pixels = face.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < size; ++y)
            std::copy_n(pixels.constScanLine(y), size * 4, sheet.scanLine(i * size + y));
    }
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char*>(sheet.constBits()), sheet.sizeInBytes()) != sheet.sizeInBytes() ||
        !out.commit()) {
        std::fprintf(stderr, "yubino-pack-faces: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
