#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The few socket calls the tools make, over POSIX sockets or Windows Sockets
// (posix/Net.cpp, win32/Net.cpp). Every socket is non-blocking.
namespace nr::tools {

// An IPv4 address and a port, both in host byte order.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
};

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};

// Sockets can be used while this lives (Windows Sockets must be started).
class NetSession {
public:
    NetSession();
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok = true;
};

// The error number of this thread's last failed call (errno, or WSAGetLastError()).
int LastNetError();
std::string NetErrorText(int error);

// A dotted address or a name; nullopt with *error saying why.
std::optional<std::uint32_t> LookUpIpv4(const std::string& host, std::string* error);

// A connection under way, from the local address given (0: any); kNoSocket when it could not
// even start.
SocketHandle StartConnect(const Endpoint& server, std::uint32_t from = 0);
// 0 once a started connection stands, else why it failed.
int ConnectError(SocketHandle sock);

struct WaitEntry {
    SocketHandle sock = kNoSocket;
    bool forWriting = false;  // else for reading
    bool ready = false;       // also set when the connection failed or closed
};
// Waits at most timeoutMs (-1: no limit) for an entry to be ready: how many are, 0 on time-out,
// -1 on failure. An interrupted wait goes on.
int WaitSockets(WaitEntry* entries, std::size_t count, int timeoutMs);

// The bytes moved, 0 when the peer closed (receive), -1 on failure; never waits.
long SendBytes(SocketHandle sock, const void* data, std::size_t size);
long ReceiveBytes(SocketHandle sock, void* data, std::size_t size);
// The error of a call that would have had to wait.
bool IsWouldBlock(int error);
bool IsConnectionRefused(int error);
void CloseSocket(SocketHandle sock);

}  // namespace nr::tools
