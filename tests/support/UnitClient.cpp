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

int Connect(int port, const char* from = "127.0.0.1") {
    int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    // Only when asked: a port bound ahead of the connect may be one a server is about to bind.
    if (::inet_pton(AF_INET, from, &address.sin_addr) == 1 &&
        address.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) {
        ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

}  // namespace

UnitResult RunUnit(int port, const UnitScript& script, int timeoutMs) {
    UnitResult result;
    int sock = Connect(port, script.from);
    if (sock < 0) return result;
    for (size_t i = 0; i < script.pieces.size(); ++i) {
        // A unit on a slow line: the pause is the behaviour under test.
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::send(sock, script.pieces[i].data(), script.pieces[i].size(), MSG_NOSIGNAL);
    }
    if (script.closeAfterSending) ::shutdown(sock, SHUT_WR);
    if (script.resetInsteadOfReading) {
        linger hard{1, 0};
        ::setsockopt(sock, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    } else {
        const timeval wait{timeoutMs / 1000, timeoutMs % 1000 * 1000};
        ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char buffer[64];
        ssize_t got;
        while ((got = ::recv(sock, buffer, sizeof buffer, 0)) > 0) {
            if (result.reply.empty()) result.repliedAt = std::chrono::steady_clock::now();
            result.reply.append(buffer, got);
        }
        result.reset = got < 0 && errno == ECONNRESET;
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
