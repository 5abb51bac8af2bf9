#include "Net.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>

namespace nr::tools {

NetSession::NetSession() {
    WSADATA data;
    m_ok = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

NetSession::~NetSession() {
    if (m_ok) ::WSACleanup();
}

int LastNetError() {
    return ::WSAGetLastError();
}

// Operators know Windows Sockets failures by their numbers.
std::string NetErrorText(int error) {
    return "Windows Sockets error " + std::to_string(error);
}

std::optional<std::uint32_t> LookUpIpv4(const std::string& host, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (status != 0) {
        *error = "cannot resolve '" + host + "': " + NetErrorText(status);
        return std::nullopt;
    }
    const std::uint32_t resolved =
        ::ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return resolved;
}

SocketHandle StartConnect(const Endpoint& server, std::uint32_t from) {
    const SOCKET sock = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (sock == INVALID_SOCKET) return kNoSocket;
    u_long nonBlocking = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = ::htonl(from);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(server.address);
    address.sin_port = ::htons(server.port);
    if (::ioctlsocket(sock, FIONBIO, &nonBlocking) == 0 &&
        (from == 0 || ::bind(sock, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) &&
        (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
         ::WSAGetLastError() == WSAEWOULDBLOCK)) {
        return sock;
    }
    const int error = ::WSAGetLastError();
    ::closesocket(sock);
    ::WSASetLastError(error);
    return kNoSocket;
}

int ConnectError(SocketHandle sock) {
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(sock, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) {
        return ::WSAGetLastError();
    }
    return error;
}

// Windows before 10 2004 leaves a refused connection out of WSAPoll's answer: there a refused
// connect is told as a time-out.
int WaitSockets(WaitEntry* entries, std::size_t count, int timeoutMs) {
    std::vector<WSAPOLLFD> fds;
    for (std::size_t i = 0; i < count; ++i) {
        const SHORT events = entries[i].forWriting ? POLLWRNORM : POLLRDNORM;
        fds.push_back({entries[i].sock, events, 0});
    }
    const int ready = ::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), timeoutMs);
    for (std::size_t i = 0; ready >= 0 && i < count; ++i) entries[i].ready = fds[i].revents != 0;
    return ready < 0 ? -1 : ready;
}

long SendBytes(SocketHandle sock, const void* data, std::size_t size) {
    return ::send(sock, static_cast<const char*>(data), static_cast<int>(size), 0);
}

long ReceiveBytes(SocketHandle sock, void* data, std::size_t size) {
    return ::recv(sock, static_cast<char*>(data), static_cast<int>(size), 0);
}

bool IsWouldBlock(int error) {
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}

// A receive on a connection that was refused fails as not connected.
bool IsConnectionRefused(int error) {
    return error == WSAECONNREFUSED || error == WSAENOTCONN;
}

void CloseSocket(SocketHandle sock) {
    ::closesocket(sock);
}

}  // namespace nr::tools
