#include "support/TestApplication.h"
#include "ui/wnd/UiThread.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TestApplication application(argc, argv);
    UiThread::Install();
    int result = RUN_ALL_TESTS();
    UiThread::Uninstall();
    return result;
}
