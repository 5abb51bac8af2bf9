#pragma once

#include <functional>
#include <memory>

// SIGINT and SIGTERM end the program as Escape does, whenever they come: caught from the start
// of main (platform/TerminationSignals.h), they wait until the UI thread can take them.
class TerminationWatch {
public:
    // False when the signals could not be caught.
    static bool CanWatch();

    // onSignal runs on the UI thread for each signal, also for one that came before, once every
    // message or file dialog that was open has been closed as the operator would.
    explicit TerminationWatch(std::function<void()> onSignal);
    ~TerminationWatch();
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};
