#pragma once

#include <atomic>
#include <chrono>

namespace nr::tools {

// A request to end the run, from a signal handler or from the run itself. Units that wait for
// their next report wake up for it at once.
class StopRequest {
public:
    using Clock = std::chrono::steady_clock;

    StopRequest();
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // False when the wake-up pipe could not be made; errno says why.
    bool Valid() const { return m_pipe[0] >= 0; }
    // Safe to call from a signal handler.
    void Request();
    bool Requested() const { return m_requested.load(); }
    // Waits until `due`; false when a stop was requested before it came.
    bool WaitUntil(Clock::time_point due) const;

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
    std::atomic<bool> m_requested{false};
    int m_pipe[2] = {-1, -1};
};

}  // namespace nr::tools
