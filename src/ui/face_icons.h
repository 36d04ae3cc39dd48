// The built-in face icons 0-114 (men 0-49, women 50-99, others 100-114) at the sizes the
// program draws them.
#pragma once

#include <QPixmap>
#include <QString>

inline constexpr int kFaceIconCount = 115;

// The icon at 24, 32 or 48 pixels; a null pixmap for a number without an icon.
QPixmap FaceIcon(int number, int size);

// "男性 n", "女性 n" or "他 n", numbered from 1 within each group.
QString FaceIconLabel(int number);
