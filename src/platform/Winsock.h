#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The socket calls the server makes, the same on every system, with Windows Sockets error
// numbers so that messages read as operators know them. Nothing of a system header shows here:
// a handle is a plain number on both (a Windows SOCKET, or a POSIX descriptor).
using SOCKET = std::uintptr_t;
inline constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
inline constexpr int SOCKET_ERROR = -1;

inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEPROTONOSUPPORT = 10043;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;

namespace wsock {

// One socket of a wait: `readable` is set when a receive (or an accept) would not wait, which
// includes a closed or failed connection.
struct PollEntry {
    SOCKET sock = INVALID_SOCKET;
    bool readable = false;
};

// The error of this thread's last failed call, as a Windows Sockets number.
int WSAGetLastError();

// A non-blocking IPv4 TCP socket.
SOCKET socket();
// To every local address. A port another socket listens on is refused; one whose connections
// were closed moments ago is not.
int bind(SOCKET sock, uint16_t port);
// With the longest queue the system offers (SOMAXCONN): Windows Sockets 1.1 defined it as 5,
// so the 5 the Windows version asked for was its platform's longest; with 5 here, units
// reporting together lose connection requests and each waits a second for the retry.
int listen(SOCKET sock);
// Waits at most timeoutMs (-1: no limit) until an entry is readable; the number readable, 0 on
// time-out, SOCKET_ERROR on failure. Entries holding INVALID_SOCKET are skipped.
int WSAPoll(PollEntry* entries, size_t count, int timeoutMs);
// The accepted connection is non-blocking too; *peerAddress gets its dotted IPv4 address.
SOCKET accept(SOCKET sock, std::string* peerAddress);
// Never waits: with nothing arrived it fails with WSAEWOULDBLOCK.
int recv(SOCKET sock, void* buffer, size_t length);
// A unit that went away makes the call fail, nothing more (no SIGPIPE).
int send(SOCKET sock, const void* buffer, size_t length);
int closesocket(SOCKET sock);

// A dotted text of an IPv4 address held in network byte order.
std::string inet_ntoa(uint32_t address);

}  // namespace wsock
