// Icons whose pictures come at known sizes and are made only when the icon is first drawn
// at that size. QIcon::addFile decodes every file at once, even with its size given,
// which start-up cannot afford for forty toolbar and menu icons.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <functional>
#include <vector>

struct LazyIconPicture {
    int side;                       // the picture is side x side pixels
    std::function<QPixmap()> make;  // called at most once, when first needed
};

QIcon LazyIcon(std::vector<LazyIconPicture> pictures);

// A picture made by loading a file (usually a resource).
std::function<QPixmap()> PictureFile(const QString& path);

// A command's icon: the pictures NAME.png under :/actions/16 and :/actions/32.
QIcon CommandIcon(const char* name);
