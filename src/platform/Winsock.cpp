#include "platform/Winsock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

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

int Fail() {
    t_lastError = ErrorFromErrno(errno);
    return SOCKET_ERROR;
}

}  // namespace

int WSAGetLastError() {
    return t_lastError;
}

SOCKET socket(int family, int type, int protocol) {
    SOCKET sock = ::socket(family, type | SOCK_CLOEXEC, protocol);
    return sock < 0 ? Fail() : sock;
}

int bind(SOCKET sock, const sockaddr_in& address) {
    int on = 1;
    if (::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return Fail();
    if (::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return Fail();
    }
    return 0;
}

int listen(SOCKET sock, int backlog) {
    return ::listen(sock, backlog) != 0 ? Fail() : 0;
}

int WSAPoll(pollfd* fds, size_t count, int timeoutMs) {
    int ready = ::poll(fds, count, timeoutMs);
    return ready < 0 ? Fail() : ready;
}

SOCKET accept(SOCKET sock, sockaddr_in* peer) {
    socklen_t length = sizeof *peer;
    SOCKET client = ::accept4(sock, reinterpret_cast<sockaddr*>(peer), &length, SOCK_CLOEXEC);
    return client < 0 ? Fail() : client;
}

int recv(SOCKET sock, void* buffer, size_t length, int flags) {
    ssize_t received = ::recv(sock, buffer, length, flags);
    return received < 0 ? Fail() : static_cast<int>(received);
}

int send(SOCKET sock, const void* buffer, size_t length, int flags) {
    ssize_t sent = ::send(sock, buffer, length, flags | MSG_NOSIGNAL);
    return sent < 0 ? Fail() : static_cast<int>(sent);
}

int closesocket(SOCKET sock) {
    return ::close(sock) != 0 ? Fail() : 0;
}

std::string inet_ntoa(in_addr address) {
    char text[INET_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET, &address, text, sizeof text) == nullptr) return {};
    return text;
}

}  // namespace wsock
