#pragma once

#include <functional>
#include <memory>

// Where the system has them, SIGINT and SIGTERM end the program as Escape does, whenever they
// come: caught from the start of main, they wait until the UI thread can take them.
class TerminationSignals {
public:
    // First thing in main; they stay caught until the process ends.
    static void Catch();
    // False when the system refused a part of Catch.
    static bool AreCaught();

    // onSignal runs on the UI thread for each signal, also for one that came before, once every
    // message or file dialog that was open has been closed as the operator would.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    struct Watch;
    std::unique_ptr<Watch> m_watch;
};
