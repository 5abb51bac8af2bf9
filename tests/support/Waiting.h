#pragma once

#include <chrono>
#include <functional>
#include <future>

// What this test program runs besides the test (a window's events, nothing at all) gets about
// that long; each test program's main says what it is.
void ServeEventsFor(int ms);

// Serves events until the condition holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the work on a thread of its own while events are served, as the server may wait for the
// window at a report; its result.
template <class Work>
auto Served(Work work) {
    auto result = std::async(std::launch::async, work);
    WaitUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
              70000);
    return result.get();
}
