#include "platform/Winsock.h"

#include "platform/posix/SocketErrors.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
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
    for (size_t i = 0; i < count; ++i) {
        const short events = POLLIN | (entries[i].wantWritable ? POLLOUT : 0);
        fds.push_back({Fd(entries[i].sock), events, 0});
    }
    int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0) return FailWithErrno();
    for (size_t i = 0; i < count; ++i) {
        entries[i].readable = (fds[i].revents & ~POLLOUT) != 0;
    }
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

bool ResolveHost(const std::string& host, uint32_t* address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        t_lastError = result == EAI_SYSTEM ? ErrorNumberOf(errno) : kErrorHostNotFound;
        return false;
    }
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

Socket connect(uint32_t address, uint16_t port, int timeoutMs, Socket wake) {
    const Socket sock = socket();
    if (sock == kInvalidSocket) return sock;
    auto fail = [sock](int error) {
        ::close(Fd(sock));
        t_lastError = error;
        return kInvalidSocket;
    };
    int on = 1;
    if (::setsockopt(Fd(sock), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0)
        return fail(ErrorNumberOf(errno));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (::connect(Fd(sock), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return sock;
    if (errno != EINPROGRESS) return fail(ErrorNumberOf(errno));
    pollfd fds[] = {{Fd(sock), POLLOUT, 0}, {Fd(wake), POLLIN, 0}};
    int ready;
    while ((ready = ::poll(fds, 2, timeoutMs)) < 0 && errno == EINTR) {
    }
    if (ready < 0) return fail(ErrorNumberOf(errno));
    if (fds[0].revents == 0) return fail(fds[1].revents != 0 ? kErrorInterrupted : kErrorTimedOut);
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(Fd(sock), SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    return error == 0 ? sock : fail(ErrorNumberOf(error));
}

int abortiveclose(Socket sock) {
    const linger reset{1, 0};
    // Without it the close is an orderly one: the connection still goes.
    (void)::setsockopt(Fd(sock), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    return closesocket(sock);
}

}  // namespace wsock
