#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The socket calls the server makes, the same on every system, with Windows Sockets error
// numbers so that messages read as operators know them. Nothing of a system header shows here,
// and none of its names: a handle is a plain number on both (a Windows SOCKET, or a POSIX
// descriptor).
namespace wsock {

using Socket = std::uintptr_t;
inline constexpr Socket kInvalidSocket = ~Socket{0};
inline constexpr int kSocketError = -1;

// The Windows Sockets numbers the program tells apart; any other is only shown.
inline constexpr int kErrorInterrupted = 10004;   // WSAEINTR
inline constexpr int kErrorWouldBlock = 10035;    // WSAEWOULDBLOCK
inline constexpr int kErrorTimedOut = 10060;      // WSAETIMEDOUT
inline constexpr int kErrorHostNotFound = 11001;  // WSAHOST_NOT_FOUND

// One socket of a wait: `readable` is set when a receive (or an accept) would not wait, which
// includes a closed or failed connection. With `wantWritable` the wait also ends when a send
// would not wait.
struct PollEntry {
    Socket sock = kInvalidSocket;
    bool readable = false;
    bool wantWritable = false;
};

// The error of this thread's last failed call, as a Windows Sockets number.
int WSAGetLastError();

// A non-blocking IPv4 TCP socket.
Socket socket();
// To every local address. A port another socket listens on is refused; one whose connections
// were closed moments ago is not.
int bind(Socket sock, uint16_t port);
// With the longest queue the system offers (SOMAXCONN): Windows Sockets 1.1 defined it as 5,
// so the 5 the Windows version asked for was its platform's longest; with 5 here, units
// reporting together lose connection requests and each waits a second for the retry.
int listen(Socket sock);
// Waits at most timeoutMs (-1: no limit) until an entry is readable; the number readable, 0 on
// time-out, kSocketError on failure. Entries holding kInvalidSocket are skipped.
int WSAPoll(PollEntry* entries, size_t count, int timeoutMs);
// The accepted connection is non-blocking too; *peerAddress gets its dotted IPv4 address.
Socket accept(Socket sock, std::string* peerAddress);
// Never waits: with nothing arrived it fails with kErrorWouldBlock.
int recv(Socket sock, void* buffer, size_t length);
// A unit that went away makes the call fail, nothing more (no SIGPIPE).
int send(Socket sock, const void* buffer, size_t length);
int closesocket(Socket sock);
// Closed with a reset rather than an orderly end: nothing of the connection lingers
// half-closed, which on Windows would refuse the port to a restart (SO_EXCLUSIVEADDRUSE).
int abortiveclose(Socket sock);

// The IPv4 address (network byte order) of a name or a dotted text; false, with
// kErrorHostNotFound or another error, when there is none. May wait for the name service.
bool ResolveHost(const std::string& host, uint32_t* address);
// A non-blocking connection to an IPv4 address, made within timeoutMs, that sends small packets
// at once; kInvalidSocket with the error (kErrorTimedOut when the time ran out) when none is
// made. A wake socket that becomes readable ends the wait early, as a failure.
Socket connect(uint32_t address, uint16_t port, int timeoutMs, Socket wake);

// A dotted text of an IPv4 address held in network byte order.
std::string inet_ntoa(uint32_t address);

}  // namespace wsock
