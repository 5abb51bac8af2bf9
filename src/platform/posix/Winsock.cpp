#include "platform/Winsock.h"

#include "platform/posix/SocketErrors.h"

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

// Windows Sockets has an unrelated number for every errno value from here on.
constexpr int kBeyondWindowsSocketsNumbers = 20000;

struct ErrorPair {
    int posixError;
    int windowsError;
};

constexpr ErrorPair kErrorNumbers[] = {
    {EINTR, kErrorInterrupted},
    {EBADF, 10009},   // WSAEBADF
    {EACCES, 10013},  // WSAEACCES
    {EPERM, 10013},   // WSAEACCES
    {EFAULT, 10014},  // WSAEFAULT
    {EINVAL, 10022},  // WSAEINVAL
    {EMFILE, 10024},  // WSAEMFILE
    {ENFILE, 10024},  // WSAEMFILE
    {EAGAIN, kErrorWouldBlock},
    {ENOTSOCK, 10038},         // WSAENOTSOCK
    {EPROTONOSUPPORT, 10043},  // WSAEPROTONOSUPPORT
    {EAFNOSUPPORT, 10047},     // WSAEAFNOSUPPORT
    {EADDRINUSE, 10048},       // WSAEADDRINUSE
    {EADDRNOTAVAIL, 10049},    // WSAEADDRNOTAVAIL
    {ENETDOWN, 10050},         // WSAENETDOWN
    {ECONNABORTED, 10053},     // WSAECONNABORTED
    {ECONNRESET, 10054},       // WSAECONNRESET
    {EPIPE, 10054},            // WSAECONNRESET
    {ENOBUFS, 10055},          // WSAENOBUFS
    {ENOMEM, 10055},           // WSAENOBUFS
    {ENOTCONN, 10057},         // WSAENOTCONN
    {ETIMEDOUT, 10060},        // WSAETIMEDOUT
    {ECONNREFUSED, 10061},     // WSAECONNREFUSED
};

// kInvalidSocket becomes -1.
int Fd(Socket sock) {
    return static_cast<int>(sock);
}

}  // namespace

int ErrorNumberOf(int posixError) {
    for (const ErrorPair& pair : kErrorNumbers) {
        if (pair.posixError == posixError) return pair.windowsError;
    }
    return kBeyondWindowsSocketsNumbers + posixError;
}

int FailWithErrno() {
    t_lastError = ErrorNumberOf(errno);
    return kSocketError;
}

int WSAGetLastError() {
    return t_lastError;
}

Socket socket() {
    int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return sock < 0 ? static_cast<Socket>(FailWithErrno()) : static_cast<Socket>(sock);
}

int bind(Socket sock, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    // Windows allows rebinding a port whose connections were closed moments ago; Linux needs
    // SO_REUSEADDR for it, and still refuses a port another socket listens on.
    int on = 1;
    if (::setsockopt(Fd(sock), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0)
        return FailWithErrno();
    if (::bind(Fd(sock), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return FailWithErrno();
    }
    return 0;
}

int listen(Socket sock) {
    return ::listen(Fd(sock), SOMAXCONN) != 0 ? FailWithErrno() : 0;
}

int WSAPoll(PollEntry* entries, size_t count, int timeoutMs) {
    thread_local std::vector<pollfd> fds;
    fds.clear();
    // A negative descriptor is skipped by poll(), as kInvalidSocket is to be.
    for (size_t i = 0; i < count; ++i) fds.push_back({Fd(entries[i].sock), POLLIN, 0});
    int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0) return FailWithErrno();
    for (size_t i = 0; i < count; ++i) entries[i].readable = fds[i].revents != 0;
    return ready;
}

int recv(Socket sock, void* buffer, size_t length) {
    ssize_t received = ::recv(Fd(sock), buffer, length, MSG_DONTWAIT);
    return received < 0 ? FailWithErrno() : static_cast<int>(received);
}

int send(Socket sock, const void* buffer, size_t length) {
    ssize_t sent = ::send(Fd(sock), buffer, length, MSG_NOSIGNAL);
    return sent < 0 ? FailWithErrno() : static_cast<int>(sent);
}

int closesocket(Socket sock) {
    return ::close(Fd(sock)) != 0 ? FailWithErrno() : 0;
}

int abortiveclose(Socket sock) {
    const linger reset{1, 0};
    // Without it the close is an orderly one: the connection still goes.
    (void)::setsockopt(Fd(sock), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    return closesocket(sock);
}

}  // namespace wsock
