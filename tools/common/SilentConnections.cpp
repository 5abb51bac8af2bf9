#include "SilentConnections.h"

#include "Address.h"
#include "Exchange.h"

#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace nr::tools {
namespace {

using Clock = std::chrono::steady_clock;

// A connection request under way, or -1 with errno set.
int StartConnect(const sockaddr_in& server) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0 ||
        errno == EINPROGRESS) {
        return fd;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

int ConnectError(int fd) {
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
}

}  // namespace

SilentConnections::SilentConnections(const sockaddr_in& server, bool reopen)
    : m_server(server), m_reopen(reopen) {}

SilentConnections::~SilentConnections() {
    if (m_watcher.joinable()) {
        // An eventfd write fails only when the counter would overflow: it is readable then.
        [[maybe_unused]] const int woken = ::eventfd_write(m_entries.front().fd, 1);
        m_watcher.join();
    }
    CloseAll();
}

bool SilentConnections::Open(unsigned count, Clock::time_point deadline, std::string* error) {
    const auto fail = [&](const char* what, int code) {
        *error = std::string(what) + " a silent connection to " + FormatAddress(m_server) + ": " +
                 std::strerror(code);
        CloseAll();
        return false;
    };
    m_entries.push_back({::eventfd(0, EFD_CLOEXEC), POLLIN, 0});
    if (m_entries.front().fd < 0) return fail("cannot watch", errno);
    for (unsigned i = 0; i < count; ++i) {
        const int fd = StartConnect(m_server);
        if (fd < 0) return fail("cannot open", errno);
        m_entries.push_back({fd, POLLOUT, 0});
    }
    std::vector<pollfd> pending(m_entries.begin() + 1, m_entries.end());
    while (!pending.empty()) {
        const int ready = ::poll(pending.data(), pending.size(), MillisecondsUntil(deadline));
        if (ready == 0) break;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return fail("cannot wait for", errno);
        }
        for (const pollfd& entry : pending) {
            if (entry.revents == 0) continue;
            if (const int code = ConnectError(entry.fd); code != 0) {
                return fail("cannot open", code);
            }
        }
        std::erase_if(pending, [](const pollfd& entry) { return entry.revents != 0; });
    }
    for (auto entry = m_entries.begin() + 1; entry != m_entries.end(); ++entry) {
        entry->events = POLLIN;
    }
    if (m_reopen) m_watcher = std::thread(&SilentConnections::Watch, this);
    return true;
}

void SilentConnections::Watch() {
    for (;;) {
        if (::poll(m_entries.data(), m_entries.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;  // the connections stay as they are until the end
        }
        if (m_entries.front().revents != 0) return;
        for (auto entry = m_entries.begin() + 1; entry != m_entries.end(); ++entry) {
            if (entry->fd < 0 || entry->revents == 0) continue;
            char ignored[256];
            const ssize_t got = ::recv(entry->fd, ignored, sizeof ignored, MSG_DONTWAIT);
            if (got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR))) continue;
            if (got < 0 && errno == ECONNREFUSED) {
                // Nothing listens any more: opening again would only be refused again.
                ::close(entry->fd);
                entry->fd = -1;
                continue;
            }
            Reopen(*entry);
        }
    }
}

void SilentConnections::Reopen(pollfd& entry) {
    ::close(entry.fd);
    entry.fd = StartConnect(m_server);
    ++m_reopened;
}

void SilentConnections::CloseAll() {
    for (const pollfd& entry : m_entries) {
        if (entry.fd >= 0) ::close(entry.fd);
    }
    m_entries.clear();
}

}  // namespace nr::tools
