#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace nr::tools::test {
namespace {

constexpr int kClientWaitMs = 10'000;
constexpr int kForever = -1;

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

}  // namespace

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

bool ScriptedServer::WaitReadable(int fd, int timeoutMs) const {
    pollfd entries[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    int ready = 0;
    do {
        ready = ::poll(entries, 2, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && entries[1].revents == 0;
}

void ScriptedServer::Loop() {
    while (WaitReadable(m_listener, kForever)) {
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Serve(client);
        ::close(client);
    }
}

void ScriptedServer::Serve(int client) {
    if (!WaitReadable(client, kClientWaitMs)) return;
    std::uint8_t buffer[64];
    const ssize_t size = ::recv(client, buffer, sizeof buffer, 0);
    if (size < 0) return;
    const Bytes frame(buffer, buffer + size);
    {
        const std::lock_guard lock(m_mutex);
        m_received.push_back(frame);
    }
    Bytes reply;
    switch (m_mode) {
        case Mode::kEcho:
            if (frame.size() == 3 && frame[0] == 0xFA) reply = {frame[1], frame[2]};
            if (frame.size() == 2 && frame[0] != 0xFA) reply = frame;
            break;
        case Mode::kFixedReply:
            reply = m_fixedReply;
            break;
        case Mode::kSilent:
            // Readable again once the client has closed its end.
            WaitReadable(client, kClientWaitMs);
            return;
    }
    if (!reply.empty()) ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
}

ClosedPort::ClosedPort() {
    m_socket = BindLoopback(m_port);
}

ClosedPort::~ClosedPort() {
    ::close(m_socket);
}

}  // namespace nr::tools::test
