#include "Strings.h"
#include "resource.h"
#include "server/PortText.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <QDialog>
#include <QTest>

#include <sys/socket.h>

#include <memory>
#include <vector>

namespace {

class ServerControlTest : public WindowTest {
protected:
    void SetUp() override { Open(); }
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
TEST_F(ServerControlTest, StartsOnlyOnPortsInTheRange) {
    for (std::string port : {"1023", "1024", "65535", "65536", "", "abc", "0x400"}) {
        SCOPED_TRACE(port);
        const bool inRange = port == "1024" || port == "65535";
        Dialog().m_editTrace.SetWindowText("");
        Dialog().m_editPort.SetWindowText(port);
        Dialog().OnButtonServer();
        if (!inRange) {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text, kTextBadPort);
            EXPECT_EQ(prompter.messages[0].caption, "NR-QD8K");
            EXPECT_TRUE(IsStopped());
            EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
            EXPECT_EQ(Trace(), "");
        } else if (prompter.messages.empty()) {
            EXPECT_TRUE(IsWaiting());
            Dialog().OnButtonServer();
            EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
        } else {
            // Someone else holds that port on this machine: only the bind may have failed.
            EXPECT_NE(prompter.messages[0].text, kTextBadPort);
        }
        prompter.messages.clear();
    }
}

// A start clears the trace and shows the waiting state; a stop returns to the whole stopped
// look (no peer, no input on) with the worker's stop steps done and the port free again.
TEST_F(ServerControlTest, StartThenStopRunsTheWholeCycle) {
    int port = FreePort();
    StartServerOn(port);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(IsWaiting());
    EXPECT_FALSE(Dialog().m_editPort.IsWindowEnabled());
    EXPECT_EQ(Trace(), "server start.\r\n");
    EXPECT_EQ(Exchange(port, "\x01\x1f"), "\x01\x1f");
    EXPECT_NE(Text(Dialog().m_staticPeer), "");

    Dialog().OnButtonServer();
    EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_TRUE(Trace().starts_with("server start.\r\n"));
    for (const auto& state : Dialog().m_bDiState) EXPECT_FALSE(state);
    EXPECT_FALSE(IdleUnit(port).Connected());
}

// A port another program listens on: the bind error with the Windows Sockets number, and the
// window stays stopped.
TEST_F(ServerControlTest, PortInUseReportsTheBindError) {
    HeldPort held(HeldPort::Kind::kListeningEverywhere);
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
    EXPECT_EQ(Count(Trace(), "dropped (0 bytes): server stopped\r\n"), 100u);
    for (auto& unit : silent) {
        ASSERT_TRUE(unit->Readable());
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
