#pragma once

#include "LoadOptions.h"
#include "StopRequest.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

namespace nr::tools {

// Hands out report numbers to the units, shared by all of them: report n is due at once, or
// n / rate seconds after the start when paced, and none is handed out past the count, the
// duration, the cap on reports or a stop.
class ReportSchedule {
public:
    using Clock = std::chrono::steady_clock;

    struct Slot {
        std::uint64_t number;
        Clock::time_point due;
    };

    ReportSchedule(const LoadOptions& options, Clock::time_point start, const StopRequest& stop);

    std::optional<Slot> Claim();
    // Waits until the slot is due; false when the run was stopped meanwhile.
    bool WaitUntilDue(const Slot& slot) const { return m_stop.WaitUntil(slot.due); }

private:
    const Clock::time_point m_start;
    const std::uint64_t m_limit;
    const std::optional<Clock::time_point> m_end;
    const std::optional<double> m_rate;
    const StopRequest& m_stop;
    std::atomic<std::uint64_t> m_next{0};
};

}  // namespace nr::tools
