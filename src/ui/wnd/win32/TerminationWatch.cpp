#include "ui/wnd/TerminationWatch.h"

// A windowed program on this system gets no console signals: the system ends it through its
// window (the close box, a WM_CLOSE), which the dialog already takes as Escape.

struct TerminationWatch::Watch {};

bool TerminationWatch::CanWatch() {
    return true;
}

TerminationWatch::TerminationWatch(std::function<void()>) {}

TerminationWatch::~TerminationWatch() = default;
