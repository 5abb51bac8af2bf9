#pragma once

#include <netinet/in.h>
#include <poll.h>

#include <cstddef>
#include <string>

// The socket calls the server makes, over POSIX, with Windows Sockets error numbers so that
// messages read as operators know them.
using SOCKET = int;
inline constexpr SOCKET INVALID_SOCKET = -1;
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

// The error of this thread's last failed call, as a Windows Sockets number.
int WSAGetLastError();

SOCKET socket(int family, int type, int protocol);
// Also allows rebinding a port whose connections were closed moments ago (as Windows does).
int bind(SOCKET sock, const sockaddr_in& address);
int listen(SOCKET sock, int backlog);
// Waits at most timeoutMs (-1: no limit) until one of the entries is ready; the number ready,
// 0 on time-out, SOCKET_ERROR on failure. Entries with a negative descriptor are skipped.
// Unlike select(), it works for any descriptor number.
int WSAPoll(pollfd* fds, size_t count, int timeoutMs);
SOCKET accept(SOCKET sock, sockaddr_in* peer);
int recv(SOCKET sock, void* buffer, size_t length, int flags);
// Never raises SIGPIPE: a unit that went away makes the call fail, nothing more.
int send(SOCKET sock, const void* buffer, size_t length, int flags);
int closesocket(SOCKET sock);

std::string inet_ntoa(in_addr address);

}  // namespace wsock
