#include "platform/TerminationSignals.h"

#include "platform/WakeEvent.h"

#include <csignal>

namespace {

WakeEvent* g_event = nullptr;
bool g_caught = false;

// Only async-signal-safe calls here: Set is a single write.
void OnSignal(int) {
    g_event->Set();
}

bool CatchOne(int signal) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signal, &action, nullptr) == 0;
}

}  // namespace

void TerminationSignals::Catch() {
    g_event = &Event();
    g_caught = g_event->IsValid() && CatchOne(SIGINT) && CatchOne(SIGTERM);
}

bool TerminationSignals::AreCaught() {
    return g_caught;
}

WakeEvent& TerminationSignals::Event() {
    static WakeEvent event;
    return event;
}
