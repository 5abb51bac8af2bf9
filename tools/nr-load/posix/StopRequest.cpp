#include "StopRequest.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace nr::tools {
namespace {

StopRequest* g_interrupted = nullptr;

extern "C" void OnInterrupt(int) {
    g_interrupted->Request();
}

}  // namespace

StopRequest::StopRequest() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_wait = ends[0];
    m_signal = ends[1];
}

StopRequest::~StopRequest() {
    if (!Valid()) return;
    ::close(static_cast<int>(m_wait));
    ::close(static_cast<int>(m_signal));
}

bool StopRequest::CatchInterrupt() {
    g_interrupted = this;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    return sigemptyset(&action.sa_mask) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

void StopRequest::Request() {
    m_requested.store(true);
    // The byte is never read: the pipe stays readable and wakes every waiter. A full pipe
    // means an earlier request woke them already.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(static_cast<int>(m_signal), &byte, 1);
}

bool StopRequest::WaitUntil(Clock::time_point due) const {
    for (;;) {
        if (Requested()) return false;
        const auto left = due - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{static_cast<time_t>(seconds.count()),
                               static_cast<long>((left - seconds) / std::chrono::nanoseconds(1))};
        pollfd wake{static_cast<int>(m_wait), POLLIN, 0};
        const int ready = ::ppoll(&wake, 1, &timeout, nullptr);
        if (ready > 0) return false;
        if (ready < 0 && errno != EINTR) {
            // Without the pipe to wait on, the request is noticed when the time has come.
            std::this_thread::sleep_until(due);
            return !Requested();
        }
    }
}

}  // namespace nr::tools
