#include "support/Waiting.h"

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        // Only the events: a hand-over that forgot to wake the window shows as a time-out.
        ServeEventsFor(5);
    }
    return true;
}
