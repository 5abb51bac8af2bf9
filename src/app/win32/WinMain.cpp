#include "app/SignalServerApp.h"
#include "ui/wnd/UiThread.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The manifest asks for common controls 6: their classes are registered here.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Its failure is reported by InitInstance, once a message can be shown.
    UiThread::Install();
    {
        CSignalServerApp app;
        app.InitInstance();
    }
    UiThread::Uninstall();
    return 0;
}
