// Test main for the main window: a widget application, and the simulated
// camera library bound from the test's own folder before any test moves the
// program folder elsewhere for its settings.
#include "camera/ICubeApi.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    CICubeApi::Process();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
