#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

#include "LoadOptions.h"

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

    ReportSchedule(const LoadOptions& options, Clock::time_point start,
                   const std::atomic<bool>& interrupted);

    std::optional<Slot> Claim();
    // Waits until the slot is due; false when the run was stopped meanwhile.
    bool WaitUntilDue(const Slot& slot) const;
    void Abandon() { m_abandoned.store(true); }
    bool Stopped() const { return m_abandoned.load() || m_interrupted.load(); }

private:
    const Clock::time_point m_start;
    const std::uint64_t m_limit;
    const std::optional<Clock::time_point> m_end;
    const std::optional<double> m_rate;
    const std::atomic<bool>& m_interrupted;
    std::atomic<bool> m_abandoned{false};
    std::atomic<std::uint64_t> m_next{0};
};

}  // namespace nr::tools
