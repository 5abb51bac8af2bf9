#pragma once

#include <algorithm>
#include <chrono>

namespace mqtt {

// A poll's time-out until the deadline, rounded up: rounded down, the last part of the wait
// would be polls of no time at all, one after another. At most a minute, for a deadline far off.
inline int PollMillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

}  // namespace mqtt
