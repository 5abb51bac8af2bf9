#include "StopRequest.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace nr::tools {

StopRequest::StopRequest() {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) m_pipe[0] = m_pipe[1] = -1;
}

StopRequest::~StopRequest() {
    if (!Valid()) return;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void StopRequest::Request() {
    m_requested.store(true);
    // The byte is never read: the pipe stays readable and wakes every waiter. A full pipe
    // means an earlier request woke them already.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_pipe[1], &byte, 1);
}

bool StopRequest::WaitUntil(Clock::time_point due) const {
    for (;;) {
        if (Requested()) return false;
        const auto left = due - Clock::now();
        if (left <= Clock::duration::zero()) return true;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec timeout{static_cast<time_t>(seconds.count()),
                               static_cast<long>((left - seconds) / std::chrono::nanoseconds(1))};
        pollfd wake{m_pipe[0], POLLIN, 0};
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
