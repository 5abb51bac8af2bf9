#include "Net.h"
#include "platform/SocketSession.h"
#include "platform/WakeEvent.h"
#include "platform/Winsock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// A listening socket on a port of 127.0.0.1's range nothing else holds; INVALID_SOCKET if none.
SOCKET ListenOnFreePort(uint16_t* port) {
    SOCKET sock = wsock::socket();
    for (uint16_t candidate = 47300; sock != INVALID_SOCKET && candidate < 47400; ++candidate) {
        if (wsock::bind(sock, candidate) == 0 && wsock::listen(sock) == 0) {
            *port = candidate;
            return sock;
        }
    }
    if (sock != INVALID_SOCKET) wsock::closesocket(sock);
    return INVALID_SOCKET;
}

// A stop wakes the wait at once, and only until it is reset.
TEST(WakeEvent, WakesAWaitUntilReset) {
    SocketSession session;
    ASSERT_EQ(session.Error(), 0);
    WakeEvent event;
    ASSERT_TRUE(event.IsValid());
    wsock::PollEntry entries[] = {{INVALID_SOCKET}, {event.Handle()}};
    EXPECT_EQ(wsock::WSAPoll(entries, 2, 0), 0);
    event.Set();
    event.Set();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(wsock::WSAPoll(entries, 2, 5000), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(entries[0].readable);
    EXPECT_TRUE(entries[1].readable);
    event.Reset();
    EXPECT_EQ(wsock::WSAPoll(entries, 2, 0), 0);
}

// A port another socket listens on is refused (Windows answers its exclusive use with
// WSAEACCES); once that socket is closed, the port can be taken again at once.
TEST(Winsock, ListeningPortIsRefusedUntilClosed) {
    SocketSession session;
    uint16_t port = 0;
    SOCKET first = ListenOnFreePort(&port);
    ASSERT_NE(first, INVALID_SOCKET);
    SOCKET second = wsock::socket();
    EXPECT_EQ(wsock::bind(second, port), SOCKET_ERROR);
    const int error = wsock::WSAGetLastError();
    EXPECT_TRUE(error == WSAEADDRINUSE || error == WSAEACCES) << error;
    wsock::closesocket(second);
    wsock::closesocket(first);
    SOCKET again = wsock::socket();
    EXPECT_EQ(wsock::bind(again, port), 0);
    wsock::closesocket(again);
}

// The worker never waits on a connection: accepts and receives with nothing there fail with
// WSAEWOULDBLOCK, and the peer comes as dotted text.
TEST(Winsock, AcceptedConnectionsNeverWait) {
    SocketSession session;
    const nr::tools::NetSession client;
    uint16_t port = 0;
    SOCKET listening = ListenOnFreePort(&port);
    ASSERT_NE(listening, INVALID_SOCKET);
    const nr::tools::SocketHandle unit = nr::tools::StartConnect({0x7F000001, port});
    ASSERT_NE(unit, nr::tools::kNoSocket);
    wsock::PollEntry entry{listening};
    ASSERT_EQ(wsock::WSAPoll(&entry, 1, 5000), 1);
    std::string peer;
    SOCKET accepted = wsock::accept(listening, &peer);
    ASSERT_NE(accepted, INVALID_SOCKET);
    EXPECT_EQ(peer, "127.0.0.1");
    EXPECT_EQ(wsock::accept(listening, &peer), INVALID_SOCKET);
    EXPECT_EQ(wsock::WSAGetLastError(), WSAEWOULDBLOCK);
    char buffer[8];
    EXPECT_EQ(wsock::recv(accepted, buffer, sizeof buffer), SOCKET_ERROR);
    EXPECT_EQ(wsock::WSAGetLastError(), WSAEWOULDBLOCK);

    nr::tools::WaitEntry connected{unit, true};
    ASSERT_EQ(nr::tools::WaitSockets(&connected, 1, 5000), 1);
    ASSERT_EQ(nr::tools::SendBytes(unit, "\x01\x15", 2), 2);
    entry = {accepted};
    ASSERT_EQ(wsock::WSAPoll(&entry, 1, 5000), 1);
    EXPECT_EQ(wsock::recv(accepted, buffer, sizeof buffer), 2);
    EXPECT_EQ(wsock::send(accepted, buffer, 2), 2);
    nr::tools::CloseSocket(unit);
    wsock::closesocket(accepted);
    wsock::closesocket(listening);
}

}  // namespace
