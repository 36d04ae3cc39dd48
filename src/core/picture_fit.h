// The size a picture is drawn at inside a square box: the longer side fills the box, the
// proportions stay, the shorter side is truncated toward zero.
#pragma once

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

inline PictureSize FitPictureToBox(int width, int height, int box) {
    if (width <= 0 || height <= 0) return {};
    if (width < height) return {static_cast<int>(static_cast<double>(width) / height * box), box};
    return {box, static_cast<int>(static_cast<double>(height) / width * box)};
}
