#include "ReportSchedule.h"

#include <algorithm>
#include <thread>

namespace nr::tools {
namespace {

// A sleeping unit looks at the stop request this often.
constexpr auto kStopCheckInterval = std::chrono::milliseconds(100);

}  // namespace

ReportSchedule::ReportSchedule(const LoadOptions& options, Clock::time_point start,
                               const std::atomic<bool>& interrupted)
    : m_start(start),
      m_limit(options.count.value_or(kMaxReports)),
      m_end(options.durationSeconds
                ? std::optional(start + ToDuration(*options.durationSeconds))
                : std::nullopt),
      m_rate(options.rate),
      m_interrupted(interrupted) {}

std::optional<ReportSchedule::Slot> ReportSchedule::Claim() {
    if (Stopped()) return std::nullopt;
    const std::uint64_t number = m_next.fetch_add(1);
    if (number >= m_limit) return std::nullopt;
    const Clock::time_point due =
        m_rate ? m_start + ToDuration(static_cast<double>(number) / *m_rate) : Clock::now();
    if (m_end && due >= *m_end) return std::nullopt;
    return Slot{number, due};
}

bool ReportSchedule::WaitUntilDue(const Slot& slot) const {
    while (!Stopped()) {
        const auto now = Clock::now();
        if (now >= slot.due) return true;
        std::this_thread::sleep_until(std::min(slot.due, now + kStopCheckInterval));
    }
    return false;
}

}  // namespace nr::tools
