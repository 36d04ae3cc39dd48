#include "ui/map/picture_cache.h"

#include <QPainter>

#include "core/map_icons.h"
#include "core/picture_fit.h"
#include "ui/picture_loader.h"

const QPixmap& CCachedPicture::ForBox(int box) {
    auto it = m_scaled.find(box);
    if (it == m_scaled.end()) {
        const PictureSize size = FitPictureToBox(m_nWidth, m_nHeight, box);
        QImage scaled = m_image.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        it = m_scaled.emplace(box, QPixmap::fromImage(scaled)).first;
    }
    return it->second;
}

CCachedPicture* CPictureCache::FindPicture(const std::string& path) {
    auto it = m_pictures.find(path);
    return it == m_pictures.end() ? nullptr : &it->second;
}

void CPictureCache::LoadPicture(const std::string& path) {
    if (path.empty() || FindPicture(path)) return;
    LoadedPicture loaded =
        LoadPalPicture(path, m_dataFolder ? m_dataFolder() : std::filesystem::path(), 2 * kMapPictureBox);
    if (loaded.image.isNull()) return;
    m_pictures.emplace(path, CCachedPicture(loaded.image, loaded.sourceSize.width(), loaded.sourceSize.height()));
}

bool CPictureCache::DrawPicture(QPainter& painter, const std::string& path, int x, int y, int box) {
    CCachedPicture* picture = FindPicture(path);
    if (!picture) {
        LoadPicture(path);
        picture = FindPicture(path);
    }
    if (!picture) return false;
    painter.drawPixmap(x, y, picture->ForBox(box));
    return true;
}
