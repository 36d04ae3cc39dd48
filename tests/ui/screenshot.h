// Pictures of the window for people to look at, saved only when YUBINO_SCREENSHOT_DIR names
// the folder for them.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QWidget>

inline void SaveScreenshot(QWidget& widget, const QString& name) {
    if (qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR")) return;
    QApplication::processEvents();
    const QString path = QDir(qEnvironmentVariable("YUBINO_SCREENSHOT_DIR")).filePath(name + QStringLiteral(".png"));
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
}
