#include "support/Ports.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

HeldPort::HeldPort(Kind kind) : m_sock(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_sock, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (kind != Kind::kBoundOnly && ::listen(m_sock, SOMAXCONN) != 0) ||
        ::getsockname(m_sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(m_sock);
        throw std::runtime_error("cannot hold a test port");
    }
    m_port = ntohs(address.sin_port);
}

HeldPort::~HeldPort() {
    ::close(m_sock);
}
