// The built-in face icons 0-114 (men 0-49, women 50-99, others 100-114) at the sizes the
// program draws them.
#pragma once

#include <QPixmap>
#include <QString>

inline constexpr int kFaceIconCount = 115;

// The icon at 24, 32, 48, 64 or 96 pixels; a null pixmap for a number without an icon.
QPixmap FaceIcon(int number, int size);

// The icon drawn `size` pixels wide on a screen of `ratio` device pixels per pixel: from
// the picture of twice the pixels where the ratio is 2, so that it stays sharp.
QPixmap FaceIconForScreen(int number, int size, qreal ratio);

// "男性 n", "女性 n" or "他 n", numbered from 1 within each group.
QString FaceIconLabel(int number);
