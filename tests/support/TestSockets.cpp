#include "support/TestSockets.h"

// The calls are the same on both systems but for their names and headers.
#include "NativeSockets.h"

namespace test_net {
namespace {

NativeSocket Native(Handle sock) {
    return static_cast<NativeSocket>(sock);
}

sockaddr_in Loopback(int port, const char* address = "127.0.0.1") {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &result.sin_addr);
    return result;
}

}  // namespace

Handle Connect(int port, const char* from) {
    const NativeSocket sock = ::socket(AF_INET, kNewSocket, IPPROTO_TCP);
    // Only when asked: a port bound ahead of the connect may be one a server is about to bind.
    sockaddr_in source = Loopback(0, from);
    if (source.sin_addr.s_addr != htonl(INADDR_LOOPBACK)) {
        ::bind(sock, reinterpret_cast<sockaddr*>(&source), sizeof source);
    }
    sockaddr_in server = Loopback(port);
    if (::connect(sock, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        CloseNative(sock);
        return kNone;
    }
    return static_cast<Handle>(sock);
}

Handle Hold(bool listening, int* port) {
    const NativeSocket sock = ::socket(AF_INET, kNewSocket, IPPROTO_TCP);
    sockaddr_in address = Loopback(*port);
    AddressLength length = sizeof address;
    if (::bind(sock, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        (listening && ::listen(sock, SOMAXCONN) != 0) ||
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        CloseNative(sock);
        return kNone;
    }
    *port = ntohs(address.sin_port);
    return static_cast<Handle>(sock);
}

bool Send(Handle sock, std::string_view bytes) {
    const int size = static_cast<int>(bytes.size());
    return ::send(Native(sock), bytes.data(), size, kNoSignal) == size;
}

void EndSending(Handle sock) {
    ::shutdown(Native(sock), kEndSending);
}

void ResetOnClose(Handle sock) {
    linger hard{1, 0};
    ::setsockopt(Native(sock), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                 sizeof hard);
}

Received Receive(Handle sock, char* buffer, std::size_t size, int timeoutMs, std::size_t* got) {
    *got = 0;
    if (!Readable(sock, timeoutMs)) return Received::kTimedOut;
    const int read = static_cast<int>(::recv(Native(sock), buffer, static_cast<int>(size), 0));
    if (read > 0) {
        *got = static_cast<std::size_t>(read);
        return Received::kBytes;
    }
    return read < 0 && LastSocketError() == kResetError ? Received::kReset : Received::kClosed;
}

bool Readable(Handle sock, int timeoutMs) {
    pollfd entry{Native(sock), POLLRDNORM, 0};
    return PollSockets(&entry, 1, timeoutMs) == 1;
}

Handle Accept(Handle listening) {
    // A failed accept gives -1, or INVALID_SOCKET, which reads as -1: kNone.
    return static_cast<Handle>(::accept(Native(listening), nullptr, nullptr));
}

void Close(Handle sock) {
    CloseNative(Native(sock));
}

}  // namespace test_net
