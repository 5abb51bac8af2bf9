#include "support/Waiting.h"
#include "ui/support/Operator.h"
#include "ui/wnd/UiThread.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

void ServeEventsFor(int ms) {
    op::ServeEvents(ms);
}

// Window tests run the real widgets without a display.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    UiThread::Install();
    int result = RUN_ALL_TESTS();
    UiThread::Uninstall();
    return result;
}
