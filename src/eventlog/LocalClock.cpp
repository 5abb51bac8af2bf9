#include "eventlog/LocalClock.h"

#include "platform/LocalTime.h"

#include <atomic>

namespace {

class SystemClock : public LocalClock {
public:
    std::tm Now() const override { return LocalTimeOf(std::time(nullptr)); }
};

const SystemClock g_systemClock;
std::atomic<const LocalClock*> g_current{&g_systemClock};

}  // namespace

const LocalClock& LocalClock::Current() {
    return *g_current.load();
}

void LocalClock::Replace(const LocalClock* clock) {
    g_current.store(clock != nullptr ? clock : &g_systemClock);
}
