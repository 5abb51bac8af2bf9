#include "support/TestSockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace test_net {

const char kRefusedText[] = "Windows Sockets error 10061";

namespace {

sockaddr_in Loopback(int port, const char* address = "127.0.0.1") {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = ::htons(static_cast<u_short>(port));
    ::inet_pton(AF_INET, address, &result.sin_addr);
    return result;
}

SOCKET Sock(Handle sock) {
    return static_cast<SOCKET>(sock);
}

}  // namespace

Handle Connect(int port, const char* from) {
    SOCKET sock = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    // Only when asked: a port bound ahead of the connect may be one a server is about to bind.
    sockaddr_in source = Loopback(0, from);
    if (source.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) {
        ::bind(sock, reinterpret_cast<sockaddr*>(&source), sizeof source);
    }
    sockaddr_in server = Loopback(port);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        ::closesocket(sock);
        return kNone;
    }
    return static_cast<Handle>(sock);
}

Handle Hold(bool listening, int* port) {
    SOCKET sock = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    int length = sizeof address;
    if (::bind(sock, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (listening && ::listen(sock, SOMAXCONN) != 0) ||
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(sock);
        return kNone;
    }
    *port = ::ntohs(address.sin_port);
    return static_cast<Handle>(sock);
}

bool Send(Handle sock, std::string_view bytes) {
    return ::send(Sock(sock), bytes.data(), static_cast<int>(bytes.size()), 0) ==
           static_cast<int>(bytes.size());
}

void EndSending(Handle sock) {
    ::shutdown(Sock(sock), SD_SEND);
}

void ResetOnClose(Handle sock) {
    linger hard{1, 0};
    ::setsockopt(Sock(sock), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                 sizeof hard);
}

Received Receive(Handle sock, char* buffer, std::size_t size, int timeoutMs, std::size_t* got) {
    *got = 0;
    WSAPOLLFD entry{Sock(sock), POLLRDNORM, 0};
    if (::WSAPoll(&entry, 1, timeoutMs) != 1) return Received::kTimedOut;
    const int read = ::recv(Sock(sock), buffer, static_cast<int>(size), 0);
    if (read > 0) {
        *got = static_cast<std::size_t>(read);
        return Received::kBytes;
    }
    return read < 0 && ::WSAGetLastError() == WSAECONNRESET ? Received::kReset : Received::kClosed;
}

bool Readable(Handle sock, int timeoutMs) {
    WSAPOLLFD entry{Sock(sock), POLLRDNORM, 0};
    return ::WSAPoll(&entry, 1, timeoutMs) > 0;
}

Handle Accept(Handle listening) {
    const SOCKET sock = ::accept(Sock(listening), nullptr, nullptr);
    return sock == INVALID_SOCKET ? kNone : static_cast<Handle>(sock);
}

void Close(Handle sock) {
    ::closesocket(Sock(sock));
}

}  // namespace test_net
