// GoogleTest main for every test program: a QApplication on the offscreen platform
// (unless the environment names another), so that model and window tests can run
// on a machine without a display. A real-input suite whose daemons did not come up ends
// with the status that asks for one more run (see DaemonsNotUp.h).
#include "DaemonsNotUp.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return realinput::exitStatus(RUN_ALL_TESTS());
}
