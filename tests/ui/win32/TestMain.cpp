#include "platform/SocketSession.h"
#include "support/Waiting.h"
#include "ui/support/Operator.h"
#include "ui/wnd/UiThread.h"

#include <gtest/gtest.h>

#include <windows.h>
// Needs windows.h before it.
#include <commctrl.h>

void ServeEventsFor(int ms) {
    op::ServeEvents(ms);
}

// Window tests run the real dialogs, with the common controls the program's start registers.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const SocketSession sockets;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    UiThread::Install();
    int result = RUN_ALL_TESTS();
    UiThread::Uninstall();
    return result;
}
