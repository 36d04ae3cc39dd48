// main() of the GUI tests: a QApplication on the offscreen platform, then every test.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/features/feature_parts.h"

int main(int argc, char* argv[]) {
    // Screenshots are taken on the display given (xvfb-run); everything else runs offscreen.
    if (qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window's later features are linked in, not opened as the module.
    UseLinkedFeatures(&NewFeatures);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
