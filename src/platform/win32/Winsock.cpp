#include "platform/Winsock.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>

namespace wsock {
namespace {

// A listening socket's accepts and an accepted connection's receives never wait.
bool MakeNonBlocking(SOCKET sock) {
    u_long on = 1;
    return ::ioctlsocket(sock, FIONBIO, &on) == 0;
}

// Closes a socket that cannot be used, keeping the error that made it so.
SOCKET Abandon(SOCKET sock) {
    const int error = ::WSAGetLastError();
    ::closesocket(sock);
    ::WSASetLastError(error);
    return INVALID_SOCKET;
}

}  // namespace

int WSAGetLastError() {
    return ::WSAGetLastError();
}

SOCKET socket() {
    SOCKET sock = ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                               WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (sock == INVALID_SOCKET) return sock;
    return MakeNonBlocking(sock) ? sock : Abandon(sock);
}

int bind(SOCKET sock, uint16_t port) {
    // SO_REUSEADDR would let another program take the port over; exclusive use refuses that,
    // and Windows still allows rebinding a port whose connections were closed moments ago.
    BOOL on = TRUE;
    if (::setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                     sizeof on) != 0) {
        return SOCKET_ERROR;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port);
    address.sin_addr.s_addr = ::htonl(INADDR_ANY);
    return ::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

int listen(SOCKET sock) {
    return ::listen(sock, SOMAXCONN);
}

int WSAPoll(PollEntry* entries, size_t count, int timeoutMs) {
    // Older Windows refuses an entry without a socket: those are left out of the call.
    thread_local std::vector<WSAPOLLFD> fds;
    thread_local std::vector<size_t> entryOf;
    fds.clear();
    entryOf.clear();
    for (size_t i = 0; i < count; ++i) {
        entries[i].readable = false;
        if (entries[i].sock == INVALID_SOCKET) continue;
        const SHORT events = POLLRDNORM | (entries[i].wantWritable ? POLLWRNORM : 0);
        fds.push_back({entries[i].sock, events, 0});
        entryOf.push_back(i);
    }
    if (fds.empty()) {
        ::Sleep(timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
        return 0;
    }
    int ready = ::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
    if (ready == SOCKET_ERROR) return SOCKET_ERROR;
    for (size_t i = 0; i < fds.size(); ++i) {
        entries[entryOf[i]].readable = (fds[i].revents & ~POLLWRNORM) != 0;
    }
    return ready;
}

SOCKET accept(SOCKET sock, std::string* peerAddress) {
    sockaddr_in peer{};
    int length = sizeof peer;
    SOCKET client = ::accept(sock, reinterpret_cast<sockaddr*>(&peer), &length);
    if (client == INVALID_SOCKET) return client;
    if (!MakeNonBlocking(client)) return Abandon(client);
    *peerAddress = inet_ntoa(peer.sin_addr.s_addr);
    return client;
}

int recv(SOCKET sock, void* buffer, size_t length) {
    return ::recv(sock, static_cast<char*>(buffer), static_cast<int>(length), 0);
}

int send(SOCKET sock, const void* buffer, size_t length) {
    return ::send(sock, static_cast<const char*>(buffer), static_cast<int>(length), 0);
}

int closesocket(SOCKET sock) {
    return ::closesocket(sock);
}

bool ResolveHost(const std::string& host, uint32_t* address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        ::WSASetLastError(result);
        return false;
    }
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

// select, not WSAPoll: older Windows' WSAPoll never reports a connection that failed.
SOCKET connect(uint32_t address, uint16_t port, int timeoutMs, SOCKET wake) {
    SOCKET sock = socket();
    if (sock == INVALID_SOCKET) return sock;
    BOOL on = TRUE;
    if (::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                     sizeof on) != 0) {
        return Abandon(sock);
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(port);
    to.sin_addr.s_addr = address;
    if (::connect(sock, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return sock;
    if (::WSAGetLastError() != WSAEWOULDBLOCK) return Abandon(sock);
    fd_set done, failed, woken;
    FD_ZERO(&done);
    FD_ZERO(&failed);
    FD_ZERO(&woken);
    FD_SET(sock, &done);
    FD_SET(sock, &failed);
    FD_SET(wake, &woken);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = ::select(0, &woken, &done, &failed, &limit);
    if (ready == SOCKET_ERROR) return Abandon(sock);
    int error = 0;
    if (FD_ISSET(sock, &failed)) {
        int length = sizeof error;
        ::getsockopt(sock, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    } else if (!FD_ISSET(sock, &done)) {
        error = ready == 0 ? WSAETIMEDOUT : WSAEINTR;
    }
    if (error == 0) return sock;
    ::closesocket(sock);
    ::WSASetLastError(error);
    return INVALID_SOCKET;
}

int abortiveclose(SOCKET sock) {
    const linger reset{1, 0};
    // Without it the close is an orderly one: the connection still goes.
    (void)::setsockopt(sock, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset),
                       sizeof reset);
    return ::closesocket(sock);
}

}  // namespace wsock
