#include "support/TestApplication.h"

#include "platform/SocketSession.h"

#include <windows.h>
// Needs windows.h before it.
#include <commctrl.h>

struct TestApplication::State {
    SocketSession sockets;
};

// The program's own start, as WinMain makes it.
TestApplication::TestApplication(int&, char**) : m_state(std::make_unique<State>()) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

TestApplication::~TestApplication() = default;
