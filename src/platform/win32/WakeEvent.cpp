#include "platform/WakeEvent.h"

#include <winsock2.h>

// WSAPoll waits on sockets only, so the event is a datagram socket on the loopback address:
// Set sends it a datagram, which keeps it readable until Reset has read them all.
WakeEvent::WakeEvent() {
    SOCKET sock = ::WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0,
                               WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (sock == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    u_long nonBlocking = 1;
    if (::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::ioctlsocket(sock, FIONBIO, &nonBlocking) != 0) {
        ::closesocket(sock);
        return;
    }
    m_handle = sock;
}

WakeEvent::~WakeEvent() {
    if (IsValid()) ::closesocket(m_handle);
}

void WakeEvent::Set() {
    sockaddr_in self{};
    int length = sizeof self;
    if (::getsockname(m_handle, reinterpret_cast<sockaddr*>(&self), &length) != 0) return;
    // A full receive buffer refuses the datagram, and is readable already.
    const char wake = 1;
    (void)::sendto(m_handle, &wake, 1, 0, reinterpret_cast<const sockaddr*>(&self), length);
}

void WakeEvent::Reset() {
    char datagram[16];
    // Ends with WSAEWOULDBLOCK once nothing is left.
    while (::recv(m_handle, datagram, sizeof datagram, 0) > 0) {
    }
}
