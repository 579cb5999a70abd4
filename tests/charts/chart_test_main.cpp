// Runs the chart tests inside a QApplication; headless unless a platform is chosen.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // ctest sets offscreen itself; this covers the test listing run at build time.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
