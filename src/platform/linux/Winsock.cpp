#include "platform/Winsock.h"

#include "platform/posix/SocketErrors.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace wsock {

// accept4 takes the flags with the connection, which saves two calls on every report.
Socket accept(Socket sock, std::string* peerAddress) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    int client = ::accept4(static_cast<int>(sock), reinterpret_cast<sockaddr*>(&peer), &length,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) return static_cast<Socket>(FailWithErrno());
    *peerAddress = inet_ntoa(peer.sin_addr.s_addr);
    return static_cast<Socket>(client);
}

}  // namespace wsock
