#pragma once

// The names TestSockets.cpp calls Windows Sockets by.
#include <winsock2.h>
#include <ws2tcpip.h>

using NativeSocket = SOCKET;
using AddressLength = int;
inline constexpr int kNewSocket = SOCK_STREAM;
inline constexpr int kNoSignal = 0;
inline constexpr int kEndSending = SD_SEND;
inline constexpr int kResetError = WSAECONNRESET;

inline int LastSocketError() {
    return ::WSAGetLastError();
}
inline int PollSockets(WSAPOLLFD* entries, ULONG count, int timeoutMs) {
    return ::WSAPoll(entries, count, timeoutMs);
}
inline int CloseNative(NativeSocket sock) {
    return ::closesocket(sock);
}
