#include "ui/wnd/TerminationSignals.h"

// A windowed program on this system gets no SIGINT or SIGTERM: the system ends it through its
// window (the close box, a WM_CLOSE), which the dialog already takes as Escape.

struct TerminationSignals::Watch {};

void TerminationSignals::Catch() {}

bool TerminationSignals::AreCaught() {
    return true;
}

TerminationSignals::TerminationSignals(std::function<void()>) {}

TerminationSignals::~TerminationSignals() = default;
