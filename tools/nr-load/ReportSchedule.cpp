#include "ReportSchedule.h"

#include "Exchange.h"

namespace nr::tools {

ReportSchedule::ReportSchedule(const LoadOptions& options, Clock::time_point start,
                               const StopRequest& stop)
    : m_start(start),
      m_limit(options.count.value_or(kMaxReports)),
      m_end(options.durationSeconds ? std::optional(start + ToDuration(*options.durationSeconds))
                                    : std::nullopt),
      m_rate(options.rate),
      m_stop(stop) {}

std::optional<ReportSchedule::Slot> ReportSchedule::Claim() {
    if (m_stop.Requested()) return std::nullopt;
    const std::uint64_t number = m_next.fetch_add(1);
    if (number >= m_limit) return std::nullopt;
    const Clock::time_point due =
        m_rate ? m_start + ToDuration(static_cast<double>(number) / *m_rate) : Clock::now();
    if (m_end && due >= *m_end) return std::nullopt;
    return Slot{number, due};
}

}  // namespace nr::tools
