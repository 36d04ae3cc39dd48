#include "ui/map/name_popup.h"

#include <QPainter>

#include "ui/qt_text.h"

namespace {

constexpr QPoint kTextOrigin{30, 3};

}  // namespace

QRegion NameTagShape(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb white = qRgb(255, 255, 255);
    QRegion shape;
    for (int y = 0; y < rgb.height(); ++y) {
        // Runs of non-white pixels, so that the region is made of a few rectangles per row.
        for (int x = 0; x < rgb.width();) {
            if (rgb.pixel(x, y) == white) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < rgb.width() && rgb.pixel(x, y) != white) ++x;
            shape += QRect(start, y, x - start, 1);
        }
    }
    return shape;
}

CNamePopup::CNamePopup(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    const QImage picture(QStringLiteral(":/nametag.png"));
    setFixedSize(picture.size());
    setMask(NameTagShape(picture));
}

void CNamePopup::SetText(const std::string& text) {
    if (text == m_strText) return;
    hide();
    m_strText = text;
}

void CNamePopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect textArea(kTextOrigin, QPoint(width() - 1, height() - 1));
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ToQString(m_strText));
}
