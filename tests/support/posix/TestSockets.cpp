#include "support/TestSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace test_net {

const char kRefusedText[] = "Connection refused";

namespace {

sockaddr_in Loopback(int port, const char* address = "127.0.0.1") {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &result.sin_addr);
    return result;
}

}  // namespace

Handle Connect(int port, const char* from) {
    int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Only when asked: a port bound ahead of the connect may be one a server is about to bind.
    sockaddr_in source = Loopback(0, from);
    if (source.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) {
        ::bind(sock, reinterpret_cast<sockaddr*>(&source), sizeof source);
    }
    sockaddr_in server = Loopback(port);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        ::close(sock);
        return kNone;
    }
    return sock;
}

Handle Hold(bool listening, int* port) {
    int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (::bind(sock, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (listening && ::listen(sock, SOMAXCONN) != 0) ||
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(sock);
        return kNone;
    }
    *port = ntohs(address.sin_port);
    return sock;
}

bool Send(Handle sock, std::string_view bytes) {
    return ::send(static_cast<int>(sock), bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
}

void EndSending(Handle sock) {
    ::shutdown(static_cast<int>(sock), SHUT_WR);
}

void ResetOnClose(Handle sock) {
    linger hard{1, 0};
    ::setsockopt(static_cast<int>(sock), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
}

Received Receive(Handle sock, char* buffer, std::size_t size, int timeoutMs, std::size_t* got) {
    *got = 0;
    pollfd entry{static_cast<int>(sock), POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) != 1) return Received::kTimedOut;
    const ssize_t read = ::recv(static_cast<int>(sock), buffer, size, 0);
    if (read > 0) {
        *got = static_cast<std::size_t>(read);
        return Received::kBytes;
    }
    return read < 0 && errno == ECONNRESET ? Received::kReset : Received::kClosed;
}

bool Readable(Handle sock, int timeoutMs) {
    pollfd entry{static_cast<int>(sock), POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

Handle Accept(Handle listening) {
    const int sock = ::accept4(static_cast<int>(listening), nullptr, nullptr, SOCK_CLOEXEC);
    return sock < 0 ? kNone : sock;
}

void Close(Handle sock) {
    ::close(static_cast<int>(sock));
}

}  // namespace test_net
