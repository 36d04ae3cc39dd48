// Loading a pal's picture file (JPEG, GIF, BMP, PNG) without letting a huge or hostile
// file exhaust memory.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

struct LoadedPicture {
    QImage image;      // null when the file could not be read as a picture
    QSize sourceSize;  // the picture's own pixel size, which drawing sizes are computed from
};

// Pictures larger than this on their longer side are decoded reduced: they are only ever
// drawn at 120 pixels or less.
inline constexpr int kMaxDecodedSide = 1024;

LoadedPicture LoadPictureFile(const QString& path);
