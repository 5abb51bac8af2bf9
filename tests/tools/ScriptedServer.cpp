#include "ScriptedServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr auto kClientWait = std::chrono::seconds(10);

}  // namespace

ScriptedServer::ScriptedServer(Mode mode, Bytes fixedReply)
    : m_mode(mode), m_fixedReply(std::move(fixedReply)) {
    ::listen(m_listener.Socket(), SOMAXCONN);
    m_acceptor = std::thread([this] {
        for (int fd; (fd = ::accept4(m_listener.Socket(), nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            const std::lock_guard lock(m_mutex);
            m_open.push_back(fd);
            m_connections.emplace_back(&ScriptedServer::Serve, this, fd);
        }
    });
}

ScriptedServer::~ScriptedServer() {
    ::shutdown(m_listener.Socket(), SHUT_RDWR);  // ends the accept
    m_acceptor.join();
    {
        const std::lock_guard lock(m_mutex);
        for (int fd : m_open) ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& connection : m_connections) connection.join();
}

std::vector<Bytes> ScriptedServer::Received(std::size_t count) const {
    std::unique_lock lock(m_mutex);
    m_receivedChanged.wait_for(lock, kClientWait, [&] { return m_received.size() >= count; });
    return m_received;
}

void ScriptedServer::Serve(int fd) {
    const timeval wait{std::chrono::seconds(kClientWait).count(), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::uint8_t buffer[64];
    const ssize_t size = ::recv(fd, buffer, sizeof buffer, 0);
    if (size >= 0) {
        const Bytes frame(buffer, buffer + size);
        {
            const std::lock_guard lock(m_mutex);
            m_received.push_back(frame);
        }
        m_receivedChanged.notify_all();
        // A slow server is what the test is about: the pause is the behaviour.
        if (m_mode == Mode::kSlowEcho) std::this_thread::sleep_for(kSlowReply);
        const Bytes reply = ReplyTo(frame);
        if (!reply.empty()) ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        if (m_mode == Mode::kSilent && size > 0) ::recv(fd, buffer, sizeof buffer, 0);
    }
    const std::lock_guard lock(m_mutex);
    std::erase(m_open, fd);
    ::close(fd);
}

Bytes ScriptedServer::ReplyTo(const Bytes& frame) const {
    if (m_mode == Mode::kFixedReply) return m_fixedReply;
    if (m_mode == Mode::kSilent) return {};
    if (frame.size() == 3 && frame[0] == 0xFA) return {frame[1], frame[2]};
    if (frame.size() == 2 && frame[0] != 0xFA) return frame;
    return {};
}
