#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace nr::tools {

// A request to end the run, from Ctrl-C or from the run itself. Units that wait for their next
// report wake up for it at once.
class StopRequest {
public:
    using Clock = std::chrono::steady_clock;

    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // False when the wake-up could not be made.
    bool Valid() const { return m_wait != kNone; }
    // The first Ctrl-C requests the stop; a second one ends the program at once. False when
    // that cannot be arranged. For one StopRequest of the program only.
    bool CatchInterrupt();
    // Safe to call from a signal handler.
    void Request();
    bool Requested() const { return m_requested.load(); }
    // Waits until `due`; false when a stop was requested before it came.
    bool WaitUntil(Clock::time_point due) const;

private:
    static constexpr std::intptr_t kNone = -1;
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
    std::atomic<bool> m_requested{false};
    // What waiters wait on and what Request signals: a pipe's two ends, or one Windows event.
    std::intptr_t m_wait = kNone;
    std::intptr_t m_signal = kNone;
};

}  // namespace nr::tools
