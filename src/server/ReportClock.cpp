#include "server/ReportClock.h"

#include <atomic>

namespace {

class SystemClock : public ReportClock {
public:
    std::time_t Now() const override { return std::time(nullptr); }
};

const SystemClock g_systemClock;
std::atomic<const ReportClock*> g_current{&g_systemClock};

}  // namespace

const ReportClock& ReportClock::Current() {
    return *g_current.load();
}

void ReportClock::Replace(const ReportClock* clock) {
    g_current.store(clock != nullptr ? clock : &g_systemClock);
}
