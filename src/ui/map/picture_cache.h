// Pal pictures, each file decoded once per run and drawn into square boxes wherever a
// pal is shown: in the pal list at 24 pixels and on the map at 46. A photo is kept only
// as large as twice the largest box, so that scaling it into a box still averages pixels.
#pragma once

#include <QImage>
#include <QPixmap>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

class QPainter;

class CCachedPicture {
public:
    CCachedPicture(const QImage& image, int width, int height) : m_nWidth(width), m_nHeight(height), m_image(image) {}

    int m_nWidth;
    int m_nHeight;

    // The picture scaled for a box, made once per box size.
    const QPixmap& ForBox(int box);

private:
    QImage m_image;
    std::map<int, QPixmap> m_scaled;
};

class CPictureCache {
public:
    // `dataFolder` tells where pictures stored with a Windows path are looked for.
    explicit CPictureCache(std::function<std::filesystem::path()> dataFolder = {})
        : m_dataFolder(std::move(dataFolder)) {}

    // Keys are the pal's picture path as stored (code page 932 text).
    CCachedPicture* FindPicture(const std::string& path);
    // Loads the file unless it is cached; a failure adds nothing, so a later call retries.
    void LoadPicture(const std::string& path);
    // Draws the picture with its longer side `box` and its top-left corner at (x, y);
    // false when it cannot be had.
    bool DrawPicture(QPainter& painter, const std::string& path, int x, int y, int box);

private:
    std::function<std::filesystem::path()> m_dataFolder;
    std::map<std::string, CCachedPicture> m_pictures;
};
