#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDialog>
#include <QKeyEvent>
#include <QTest>
#include <memory>
#include <vector>

#include "Strings.h"
#include "resource.h"
#include "server/PortText.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

namespace {

class ServerControlTest : public WindowTest {
protected:
    void SetUp() override { Open(); }

    // Without SO_REUSEADDR: fails while any socket still holds the port.
    bool PortIsFree(int port) {
        int sock = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        bool bound = ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(sock);
        return bound;
    }
};

// atoi's reading, without overflow: the port check sees what the operator typed.
TEST(PortText, ReadsAsAtoiWithoutOverflow) {
    struct Case {
        const char* text;
        int port;
    } cases[] = {{"10003", 10003},  {"  1024", 1024},
                 {"65535x", 65535}, {"", 0},
                 {"abc", 0},        {"-1", -1},
                 {"+80", 80},       {"99999999999999999999", kMaxPort + 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParsePortText(c.text), c.port);
    }
}

// Only 1024 to 65535 start the server; a refused port changes nothing, not even the trace.
TEST_F(ServerControlTest, RefusesPortsOutsideTheRange) {
    for (std::string port : {"1023", "65536", "", "abc", "0x400"}) {
        SCOPED_TRACE(port);
        std::string traceBefore = Trace();
        Dialog().m_editPort.SetWindowText(port);
        Dialog().OnButtonServer();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, kTextBadPort);
        EXPECT_EQ(prompter.messages[0].caption, "NR-QD8K");
        EXPECT_TRUE(IsStopped());
        EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
        EXPECT_EQ(Trace(), traceBefore);
        prompter.messages.clear();
    }
}

TEST_F(ServerControlTest, StartsAndStopsOnTheEdgesOfTheRange) {
    for (int port : {1024, 65535}) {
        SCOPED_TRACE(port);
        StartServerOn(port);
        if (!prompter.messages.empty()) {
            // Someone else holds that port on this machine: only the bind may have failed.
            EXPECT_NE(prompter.messages[0].text, kTextBadPort);
            prompter.messages.clear();
            continue;
        }
        EXPECT_TRUE(IsWaiting());
        Dialog().OnButtonServer();
        EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    }
}

// A start clears the trace and shows the waiting state; a stop returns to stopped with the
// worker's stop steps done and the port free again.
TEST_F(ServerControlTest, StartThenStopRunsTheWholeCycle) {
    int port = FreePort();
    StartServerOn(port);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(IsWaiting());
    EXPECT_FALSE(Dialog().m_editPort.IsWindowEnabled());
    EXPECT_EQ(Trace(), "server start.\r\n");
    EXPECT_FALSE(PortIsFree(port));

    Dialog().OnButtonServer();
    EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(Trace(), "server start.\r\nserver stop.\r\n");
    EXPECT_EQ(Text(Dialog().m_staticPeer), "");
    EXPECT_FALSE(IdleUnit(port).Connected());
}

// The worker still running its stop steps never meets the next start on the same port.
TEST_F(ServerControlTest, StopFollowedAtOnceByStartWorks) {
    int port = FreePort();
    StartServerOn(port);
    for (int round = 0; round < 20; ++round) {
        Dialog().OnButtonServer();
        Dialog().OnButtonServer();
        ASSERT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
        ASSERT_TRUE(IsWaiting());
        ASSERT_EQ(Trace(), "server start.\r\n");
    }
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
}

// A port another program listens on: the bind error with the Windows Sockets number.
TEST_F(ServerControlTest, PortInUseReportsTheBindError) {
    HeldPort held;
    ASSERT_NE(held.Port(), 0);
    StartServerOn(held.Port());
    ASSERT_EQ(prompter.messages.size(), 1u);
    char expected[64];
    std::snprintf(expected, sizeof expected, kFormatBindError, 10048);
    EXPECT_EQ(prompter.messages[0].text, expected);
    EXPECT_TRUE(IsStopped());
    EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
    EXPECT_EQ(Trace(), "");
}

// A stop takes effect at once: connections still waiting for their frame are closed without a
// reply, each with a trace line, and so is the port.
TEST_F(ServerControlTest, StopClosesWaitingConnectionsAndThePort) {
    int port = FreePort();
    StartServerOn(port);
    std::vector<std::unique_ptr<IdleUnit>> silent;
    for (int i = 0; i < 100; ++i) silent.push_back(std::make_unique<IdleUnit>(port));
    // Served after the 100 have been accepted, as the listen queue keeps its order.
    ASSERT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    Dialog().OnButtonServer();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    size_t closedLines = 0;
    const std::string closedLine = "dropped (0 bytes): server stopped\r\n";
    for (size_t at = Trace().find(closedLine); at != std::string::npos;
         at = Trace().find(closedLine, at + 1)) {
        ++closedLines;
    }
    EXPECT_EQ(closedLines, 100u);
    for (auto& unit : silent) {
        pollfd entry{unit->Socket(), POLLIN, 0};
        ASSERT_EQ(::poll(&entry, 1, 5000), 1);
        char byte;
        EXPECT_EQ(::recv(unit->Socket(), &byte, 1, 0), 0);
    }
    EXPECT_FALSE(IdleUnit(port).Connected());
}

// Alt+S is the start/stop button's mnemonic.
TEST_F(ServerControlTest, AltSStartsAndStops) {
    Dialog().m_editPort.SetWindowText(std::to_string(FreePort()));
    QWidget* window = Dialog().GetDialogWidget();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(WaitUntil([&] { return IsWaiting(); }));
    QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
}

}  // namespace
