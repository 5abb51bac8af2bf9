#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace nr::tools::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kClientWait = std::chrono::seconds(10);

// Binds a socket to 127.0.0.1 at a free port; returns the socket and its port.
int BindLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("cannot bind a test socket on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

int MillisecondsUntil(Clock::time_point due) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

struct ScriptedServer::Client {
    int fd;
    Clock::time_point due;  // when to give up waiting, or to send a held reply
    bool received = false;
    Bytes heldReply{};
};

ScriptedServer::ScriptedServer(Mode mode, Bytes fixedReply)
    : m_mode(mode), m_fixedReply(std::move(fixedReply)) {
    m_listener = BindLoopback(m_port);
    if (::listen(m_listener, SOMAXCONN) != 0 || ::pipe2(m_wake, O_CLOEXEC) != 0) {
        ::close(m_listener);
        throw std::runtime_error("cannot listen on a test socket");
    }
    m_thread = std::thread(&ScriptedServer::Loop, this);
}

ScriptedServer::~ScriptedServer() {
    const char byte = 1;
    if (::write(m_wake[1], &byte, 1) != 1) std::abort();  // the thread could never be joined
    m_thread.join();
    ::close(m_wake[0]);
    ::close(m_wake[1]);
    ::close(m_listener);
}

std::vector<Bytes> ScriptedServer::Received() const {
    const std::lock_guard lock(m_mutex);
    return m_received;
}

std::vector<Bytes> ScriptedServer::WaitForReceived(std::size_t count) const {
    std::unique_lock lock(m_mutex);
    m_receivedChanged.wait_for(lock, kClientWait, [&] { return m_received.size() >= count; });
    return m_received;
}

void ScriptedServer::Loop() {
    std::vector<Client> clients;
    std::vector<pollfd> ready;
    for (;;) {
        ready.assign({{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}});
        Clock::time_point next = Clock::time_point::max();
        for (const Client& client : clients) {
            // A held reply waits for its time only.
            ready.push_back(
                {client.fd, static_cast<short>(client.heldReply.empty() ? POLLIN : 0), 0});
            next = std::min(next, client.due);
        }
        const int timeout = clients.empty() ? -1 : MillisecondsUntil(next);
        if (::poll(ready.data(), ready.size(), timeout) < 0 && errno != EINTR) break;
        if (ready[0].revents != 0) break;
        const Clock::time_point now = Clock::now();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < clients.size(); ++i) {
            Client& client = clients[i];
            const bool done = ready[i + 2].revents != 0 ? Receive(client) : now >= client.due;
            if (!done) {
                if (kept != i) clients[kept] = std::move(client);
                ++kept;
                continue;
            }
            if (!client.heldReply.empty()) {
                ::send(client.fd, client.heldReply.data(), client.heldReply.size(), MSG_NOSIGNAL);
            }
            ::close(client.fd);
        }
        clients.resize(kept);
        if (ready[1].revents != 0) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) clients.push_back({fd, now + kClientWait});
        }
    }
    for (const Client& client : clients) ::close(client.fd);
}

bool ScriptedServer::Receive(Client& client) {
    // Once the frame is in, anything more means the client is going.
    if (client.received) return true;
    client.received = true;
    std::uint8_t buffer[64];
    const ssize_t size = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (size < 0) return true;
    const Bytes frame(buffer, buffer + size);
    {
        const std::lock_guard lock(m_mutex);
        m_received.push_back(frame);
    }
    m_receivedChanged.notify_all();
    const Bytes reply = ReplyTo(frame);
    switch (m_mode) {
        case Mode::kSilent:
            return size == 0;
        case Mode::kSlowEcho:
            client.heldReply = reply;
            client.due = Clock::now() + kSlowReply;
            return reply.empty();
        case Mode::kEcho:
        case Mode::kFixedReply:
            if (!reply.empty()) ::send(client.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            return true;
    }
    return true;
}

Bytes ScriptedServer::ReplyTo(const Bytes& frame) const {
    if (m_mode == Mode::kFixedReply) return m_fixedReply;
    if (m_mode == Mode::kSilent) return {};
    if (frame.size() == 3 && frame[0] == 0xFA) return {frame[1], frame[2]};
    if (frame.size() == 2 && frame[0] != 0xFA) return frame;
    return {};
}

ClosedPort::ClosedPort() {
    m_socket = BindLoopback(m_port);
}

ClosedPort::~ClosedPort() {
    ::close(m_socket);
}

}  // namespace nr::tools::test
