#include "ui/lazy_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPaintDevice>
#include <algorithm>

namespace {

class CLazyIconEngine : public QIconEngine {
public:
    explicit CLazyIconEngine(std::vector<LazyIconPicture> pictures) : m_pictures(std::move(pictures)) {
        std::sort(m_pictures.begin(), m_pictures.end(),
                  [](const LazyIconPicture& a, const LazyIconPicture& b) { return a.side < b.side; });
        m_made.assign(m_pictures.size(), false);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Made(size).pixmap(size, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        Made(rect.size() * ratio).paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        if (m_pictures.empty()) return {};
        const int side = std::min({Best(size).side, size.width(), size.height()});
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const LazyIconPicture& picture : m_pictures) sizes.append(QSize(picture.side, picture.side));
        return sizes;
    }

    QIconEngine* clone() const override { return new CLazyIconEngine(*this); }
    QString key() const override { return QStringLiteral("YubinoLazyIcon"); }
    bool isNull() override { return m_pictures.empty(); }

private:
    // The smallest picture at least as large as the size asked for, else the largest.
    const LazyIconPicture& Best(const QSize& size) const {
        const int wanted = std::max(size.width(), size.height());
        for (const LazyIconPicture& picture : m_pictures)
            if (picture.side >= wanted) return picture;
        return m_pictures.back();
    }

    // The icon of the pictures made so far, with the best one for the size among them.
    const QIcon& Made(const QSize& size) {
        if (m_pictures.empty()) return m_icon;
        const LazyIconPicture& best = Best(size);
        const std::size_t index = static_cast<std::size_t>(&best - m_pictures.data());
        if (!m_made[index]) {
            m_made[index] = true;
            const QPixmap picture = best.make();
            if (!picture.isNull()) m_icon.addPixmap(picture);
        }
        return m_icon;
    }

    std::vector<LazyIconPicture> m_pictures;
    std::vector<bool> m_made;
    QIcon m_icon;
};

}  // namespace

QIcon LazyIcon(std::vector<LazyIconPicture> pictures) { return QIcon(new CLazyIconEngine(std::move(pictures))); }

std::function<QPixmap()> PictureFile(const QString& path) {
    return [path] { return QPixmap(path); };
}

QIcon CommandIcon(const char* name) {
    const QString file = QStringLiteral(":/actions/%2/%1.png").arg(QLatin1String(name));
    return LazyIcon({{16, PictureFile(file.arg(16))}, {32, PictureFile(file.arg(32))}});
}
