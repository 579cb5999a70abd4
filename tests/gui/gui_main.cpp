// The GUI tests' main: one QApplication for all tests, on the offscreen platform unless told
// otherwise.
#include <gtest/gtest.h>

#include <QApplication>

namespace {

// The offscreen platform cannot raise windows and says so each time one is brought forward.
QtMessageHandler g_previous = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()"))) return;
    g_previous(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    g_previous = qInstallMessageHandler(QuietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
