// Loading a pal's picture file (JPEG, GIF, BMP, PNG) without letting a huge or hostile
// file exhaust memory.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <filesystem>
#include <string>

struct LoadedPicture {
    QImage image;      // null when the file could not be read as a picture
    QSize sourceSize;  // the picture's own pixel size, which drawing sizes are computed from
};

// Pictures larger than this on their longer side are decoded reduced: they are only ever
// drawn at 120 pixels or less.
inline constexpr int kMaxDecodedSide = 1024;
// Enough for any reduced picture; a reader that would need more refuses instead.
inline constexpr int kPictureAllocationLimitMb = 128;

// A picture file larger than this is no photo a pal would have; it is not read.
inline constexpr std::size_t kPictureFileCap = std::size_t{64} << 20;

// Decodes a picture from its bytes, reduced when large, never past an allocation cap. A
// JPEG larger than `shownSide` on its longer side is decoded at 1/2, 1/4 or 1/8 of its
// size, as small as keeps `shownSide` pixels: a fraction of the work and the memory.
LoadedPicture DecodePicture(const QByteArray& bytes, int shownSide = kMaxDecodedSide);
// Reads only a regular file (a FIFO or device never blocks), up to kPictureFileCap.
LoadedPicture LoadPictureFile(const QString& path, int shownSide = kMaxDecodedSide);

// A pal's picture from its stored path (code page 932), or, for a path the Windows program
// stored, from the file of that name in `dataFolder`.
LoadedPicture LoadPalPicture(const std::string& stored, const std::filesystem::path& dataFolder,
                             int shownSide = kMaxDecodedSide);
