#include "support/UnitClient.h"

#include "support/WindowTest.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace {

int Connect(int port) {
    int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

bool SendAll(int sock, const std::string& bytes) {
    return bytes.empty() || ::send(sock, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                                static_cast<ssize_t>(bytes.size());
}

void ReadUntilClosed(int sock, int timeoutMs, UnitResult& result) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd entry{sock, POLLIN, 0};
        if (::poll(&entry, 1, 20) <= 0) continue;
        char buffer[64];
        ssize_t got = ::recv(sock, buffer, sizeof buffer, 0);
        if (got <= 0) {
            result.reset = got < 0 && errno == ECONNRESET;
            break;
        }
        result.reply.append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

UnitResult RunUnit(int port, const UnitScript& script, int timeoutMs) {
    UnitResult result;
    int sock = Connect(port);
    if (sock < 0) return result;
    result.connected = true;
    for (size_t i = 0; i < script.pieces.size(); ++i) {
        // A unit on a slow line: the pause is the behaviour under test.
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        SendAll(sock, script.pieces[i]);
    }
    if (script.closeAfterSending) ::shutdown(sock, SHUT_WR);
    if (script.resetInsteadOfReading) {
        linger hard{1, 0};
        ::setsockopt(sock, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    } else {
        ReadUntilClosed(sock, timeoutMs, result);
    }
    ::close(sock);
    return result;
}

std::string Exchange(int port, const std::string& frame) {
    return Served([&] { return RunUnit(port, {{frame}}); }).reply;
}

IdleUnit::IdleUnit(int port) : m_sock(Connect(port)) {}

IdleUnit::~IdleUnit() {
    if (m_sock >= 0) ::close(m_sock);
}

bool IdleUnit::Readable(int timeoutMs) const {
    return WaitUntil(
        [&] {
            pollfd entry{m_sock, POLLIN, 0};
            return ::poll(&entry, 1, 0) > 0;
        },
        timeoutMs);
}

bool IdleUnit::ClosedByServer() const {
    char byte;
    return Readable() && ::recv(m_sock, &byte, 1, 0) == 0;
}
