#include "eventlog/LocalClock.h"

#include <atomic>

namespace {

class SystemClock : public LocalClock {
public:
    std::tm Now() const override {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return local;
    }
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
