#pragma once

// The names TestSockets.cpp calls POSIX sockets by.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

using NativeSocket = int;
using AddressLength = socklen_t;
inline constexpr int kNewSocket = SOCK_STREAM | SOCK_CLOEXEC;  // kept from the programs started
inline constexpr int kNoSignal = MSG_NOSIGNAL;
inline constexpr int kEndSending = SHUT_WR;
inline constexpr int kResetError = ECONNRESET;

inline int LastSocketError() {
    return errno;
}
inline int PollSockets(pollfd* entries, nfds_t count, int timeoutMs) {
    return ::poll(entries, count, timeoutMs);
}
inline int CloseNative(NativeSocket sock) {
    return ::close(sock);
}
