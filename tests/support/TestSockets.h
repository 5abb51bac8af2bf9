#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The few blocking socket calls the tests make as units and port holders, over POSIX sockets
// or Windows Sockets (posix/, win32/); everything on loopback addresses.
namespace test_net {

using Handle = std::intptr_t;
inline constexpr Handle kNone = -1;

// Connected to 127.0.0.1:port from the given local address; kNone when refused.
Handle Connect(int port, const char* from);
// A socket bound to 127.0.0.1 on *port, or on one the system chose when it is 0 (then named in
// *port), listening or not; kNone on failure.
Handle Hold(bool listening, int* port);
bool Send(Handle sock, std::string_view bytes);
void EndSending(Handle sock);
// The close then resets the connection instead of ending it.
void ResetOnClose(Handle sock);

enum class Received { kBytes, kClosed, kReset, kTimedOut };
// Waits at most timeoutMs for bytes, the peer's close or its reset; *got holds how many came.
Received Receive(Handle sock, char* buffer, std::size_t size, int timeoutMs, std::size_t* got);
// Whether a byte, the close or (listening) a connection is there within the time.
bool Readable(Handle sock, int timeoutMs = 0);
// The next connection to a listening socket; kNone on failure.
Handle Accept(Handle listening);
void Close(Handle sock);

}  // namespace test_net
