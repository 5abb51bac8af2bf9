#include "platform/TerminationSignals.h"

#include "platform/WakeEvent.h"

#include <windows.h>

namespace {

bool g_caught = false;

// Runs on a thread of its own. TRUE: handled here, the system does not end the process.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    TerminationSignals::Event().Set();
    return TRUE;
}

}  // namespace

void TerminationSignals::Catch() {
    g_caught = Event().IsValid() && ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool TerminationSignals::AreCaught() {
    return g_caught;
}

WakeEvent& TerminationSignals::Event() {
    static WakeEvent event;
    return event;
}
