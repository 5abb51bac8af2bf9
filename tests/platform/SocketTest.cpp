#include "platform/SocketSession.h"
#include "platform/WakeEvent.h"
#include "platform/Winsock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

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
    SOCKET first = wsock::socket();
    ASSERT_NE(first, INVALID_SOCKET);
    uint16_t port = 0;
    for (uint16_t candidate = 47300; candidate < 47400 && port == 0; ++candidate) {
        if (wsock::bind(first, candidate) == 0) port = candidate;
    }
    ASSERT_NE(port, 0);
    ASSERT_EQ(wsock::listen(first), 0);
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

}  // namespace
