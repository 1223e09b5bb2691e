// Test entry: an application object (fonts and pictures need one) on the offscreen
// platform, even when the binary runs outside ctest's environment (test discovery). The
// tests of windows build it with KESTRUM_TEST_WIDGETS and get a widget application.
#ifdef KESTRUM_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
