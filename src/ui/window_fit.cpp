#include "ui/window_fit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

// The frame's icon and buttons beside the title, and the title font's larger letters.
constexpr int kTitleFrameAllowance = 160;
constexpr double kTitleFontScale = 1.2;

}  // namespace

void FitWidthToTitle(QWidget& window) {
    const int title = window.fontMetrics().horizontalAdvance(window.windowTitle());
    const int wanted = static_cast<int>(title * kTitleFontScale) + kTitleFrameAllowance;
    if (window.minimumWidth() < wanted) window.setMinimumWidth(wanted);
}

void FitIntoScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    // The frame around the contents: title bar and borders, kept within the free area too.
    const QSize decoration = frame.size() - window.geometry().size();
    const QSize fitted = window.size().boundedTo(free.size() - decoration);
    if (fitted != window.size()) window.resize(fitted);
    QRect placed = window.frameGeometry();
    if (free.contains(placed)) return;
    placed.moveLeft(std::clamp(placed.left(), free.left(), std::max(free.left(), free.right() - placed.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), free.top(), std::max(free.top(), free.bottom() - placed.height() + 1)));
    window.move(placed.topLeft());
}
