#include "Net.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace nr::tools {
namespace {

int Fd(SocketHandle sock) {
    return static_cast<int>(sock);
}

}  // namespace

NetSession::NetSession() = default;
NetSession::~NetSession() = default;

int LastNetError() {
    return errno;
}

std::string NetErrorText(int error) {
    return std::strerror(error);
}

std::optional<std::uint32_t> LookUpIpv4(const std::string& host, std::string* error) {
    in_addr address{};
    // A dotted address needs no resolver (whose interceptor ASan's runtime gets wrong here).
    if (::inet_pton(AF_INET, host.c_str(), &address) == 1) return ntohl(address.s_addr);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (status != 0) {
        *error = "cannot resolve '" + host + "': " + ::gai_strerror(status);
        return std::nullopt;
    }
    const std::uint32_t resolved =
        ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return resolved;
}

SocketHandle StartConnect(const Endpoint& server, std::uint32_t from) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return kNoSocket;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(from);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(server.address);
    address.sin_port = htons(server.port);
    if ((from == 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0) &&
        (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
         errno == EINPROGRESS)) {
        return static_cast<SocketHandle>(fd);
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return kNoSocket;
}

int ConnectError(SocketHandle sock) {
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(Fd(sock), SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
}

int WaitSockets(WaitEntry* entries, std::size_t count, int timeoutMs) {
    std::vector<pollfd> fds;
    for (std::size_t i = 0; i < count; ++i) {
        const short events = entries[i].forWriting ? POLLOUT : POLLIN;
        fds.push_back({Fd(entries[i].sock), events, 0});
    }
    int ready;
    while ((ready = ::poll(fds.data(), fds.size(), timeoutMs)) < 0 && errno == EINTR) {
    }
    for (std::size_t i = 0; ready >= 0 && i < count; ++i) entries[i].ready = fds[i].revents != 0;
    return ready;
}

long SendBytes(SocketHandle sock, const void* data, std::size_t size) {
    return ::send(Fd(sock), data, size, MSG_NOSIGNAL);
}

long ReceiveBytes(SocketHandle sock, void* data, std::size_t size) {
    return ::recv(Fd(sock), data, size, 0);
}

bool IsWouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

bool IsConnectionRefused(int error) {
    return error == ECONNREFUSED;
}

void CloseSocket(SocketHandle sock) {
    ::close(Fd(sock));
}

}  // namespace nr::tools
