#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

// SIGINT and SIGTERM end the program as Escape does, whenever they come: caught from the start
// of main, they wait until the UI thread can take them.
class TerminationSignals {
public:
    // First thing in main; they stay caught until the process ends.
    static void Catch();
    // False when the system refused a part of Catch.
    static bool AreCaught();

    // onSignal runs on the UI thread for each signal, also for one that came before.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onSignal;
};
