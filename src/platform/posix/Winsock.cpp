#include "platform/Winsock.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace wsock {
namespace {

thread_local int t_lastError = 0;

// The Windows Sockets number for an errno value.
int ErrorFromErrno(int error) {
    switch (error) {
        case EINTR:
            return WSAEINTR;
        case EBADF:
            return WSAEBADF;
        case EACCES:
        case EPERM:
            return WSAEACCES;
        case EFAULT:
            return WSAEFAULT;
        case EINVAL:
            return WSAEINVAL;
        case EMFILE:
        case ENFILE:
            return WSAEMFILE;
        case EAGAIN:
            return WSAEWOULDBLOCK;
        case ENOTSOCK:
            return WSAENOTSOCK;
        case EPROTONOSUPPORT:
            return WSAEPROTONOSUPPORT;
        case EAFNOSUPPORT:
            return WSAEAFNOSUPPORT;
        case EADDRINUSE:
            return WSAEADDRINUSE;
        case EADDRNOTAVAIL:
            return WSAEADDRNOTAVAIL;
        case ENETDOWN:
            return WSAENETDOWN;
        case ECONNABORTED:
            return WSAECONNABORTED;
        case ECONNRESET:
        case EPIPE:
            return WSAECONNRESET;
        case ENOBUFS:
        case ENOMEM:
            return WSAENOBUFS;
        case ENOTCONN:
            return WSAENOTCONN;
        case ETIMEDOUT:
            return WSAETIMEDOUT;
        case ECONNREFUSED:
            return WSAECONNREFUSED;
        default:
            return 10000 + error;
    }
}

// INVALID_SOCKET becomes -1.
int Fd(SOCKET sock) {
    return static_cast<int>(sock);
}

int Fail() {
    t_lastError = ErrorFromErrno(errno);
    return SOCKET_ERROR;
}

}  // namespace

int WSAGetLastError() {
    return t_lastError;
}

SOCKET socket() {
    int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return sock < 0 ? static_cast<SOCKET>(Fail()) : static_cast<SOCKET>(sock);
}

int bind(SOCKET sock, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    // Windows allows rebinding a port whose connections were closed moments ago; Linux needs
    // SO_REUSEADDR for it, and still refuses a port another socket listens on.
    int on = 1;
    if (::setsockopt(Fd(sock), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return Fail();
    if (::bind(Fd(sock), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return Fail();
    }
    return 0;
}

int listen(SOCKET sock) {
    return ::listen(Fd(sock), SOMAXCONN) != 0 ? Fail() : 0;
}

int WSAPoll(PollEntry* entries, size_t count, int timeoutMs) {
    thread_local std::vector<pollfd> fds;
    fds.clear();
    // A negative descriptor is skipped by poll(), as INVALID_SOCKET is to be.
    for (size_t i = 0; i < count; ++i) fds.push_back({Fd(entries[i].sock), POLLIN, 0});
    int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0) return Fail();
    for (size_t i = 0; i < count; ++i) entries[i].readable = fds[i].revents != 0;
    return ready;
}

SOCKET accept(SOCKET sock, std::string* peerAddress) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    int client = ::accept4(Fd(sock), reinterpret_cast<sockaddr*>(&peer), &length,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) return static_cast<SOCKET>(Fail());
    *peerAddress = inet_ntoa(peer.sin_addr.s_addr);
    return static_cast<SOCKET>(client);
}

int recv(SOCKET sock, void* buffer, size_t length) {
    ssize_t received = ::recv(Fd(sock), buffer, length, MSG_DONTWAIT);
    return received < 0 ? Fail() : static_cast<int>(received);
}

int send(SOCKET sock, const void* buffer, size_t length) {
    ssize_t sent = ::send(Fd(sock), buffer, length, MSG_NOSIGNAL);
    return sent < 0 ? Fail() : static_cast<int>(sent);
}

int closesocket(SOCKET sock) {
    return ::close(Fd(sock)) != 0 ? Fail() : 0;
}

}  // namespace wsock
