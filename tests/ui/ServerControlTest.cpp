#include "Strings.h"
#include "resource.h"
#include "support/UnitClient.h"
#include "ui/support/WindowTest.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using op::Colour;

constexpr Colour kGrey{0x7F, 0x7F, 0x7F};
constexpr Colour kRed{0xFF, 0x00, 0x00};
constexpr Colour kBlack{0x00, 0x00, 0x00};
constexpr Colour kWhite{0xFF, 0xFF, 0xFF};
const std::vector<Colour> kAllGrey(5, kGrey);

std::string BindError(int error) {
    char text[64];
    std::snprintf(text, sizeof text, kFormatBindError, error);
    return text;
}

class ServerControlTest : public WindowTest {
protected:
    void SetUp() override { Open(); }

    std::vector<Colour> Lamps() {
        std::vector<Colour> colours;
        for (int id : {IDC_LAMP_DI1, IDC_LAMP_DI2, IDC_LAMP_DI3, IDC_LAMP_DI4, IDC_LAMP_DI5}) {
            const op::Picture lamp = op::Shot(Control(id));
            colours.push_back(lamp.At(lamp.width / 2, lamp.height / 2));
        }
        return colours;
    }
    // The state text's background near its corner; its text must be white.
    Colour StateBackground() {
        const op::Picture state = op::Shot(Control(IDC_STATIC_STATE));
        EXPECT_TRUE(state.Holds(kWhite));
        return state.At(3, 3);
    }
};

// Only 1024 to 65535 start the server, read as atoi reads them but without its overflow (2^32 +
// 10003 would pass as 10003). A port another program listens on gives the bind error with the
// Windows Sockets number. A refused port changes nothing, not even the trace, and all stays grey.
TEST_F(ServerControlTest, StartsOnlyOnPortsInTheRange) {
    const HeldPort held(HeldPort::Kind::kListening);
    const struct {
        std::string text;
        int port;  // 0: refused, -1: taken
    } cases[] = {{"1023", 0},       {"1024", 1024},
                 {" 1024", 1024},   {"65535x", 65535},
                 {"65536", 0},      {"", 0},
                 {"abc", 0},        {"0x400", 0},
                 {"4294977299", 0}, {std::to_string(held.Port()), -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Dialog().m_editTrace.SetWindowText("");
        StartServerOn(c.text);
        if (c.port <= 0) {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].caption, "NR-QD8K");
            EXPECT_EQ(prompter.TakeTexts(), Texts{c.port == 0 ? kTextBadPort : BindError(10048)});
            EXPECT_TRUE(IsStopped());
            EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
            EXPECT_EQ(Trace(), "");
            EXPECT_EQ(Lamps(), kAllGrey);
            EXPECT_EQ(StateBackground(), kGrey);
        } else if (prompter.messages.empty()) {
            EXPECT_TRUE(IsWaiting());
            EXPECT_TRUE(IdleUnit(c.port).Connected());
            Dialog().OnButtonServer();
            EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
        } else {
            // Someone else holds that port on this machine: the bind fails, nothing else.
            EXPECT_EQ(prompter.TakeTexts(), Texts{BindError(10048)});
        }
    }
}

// A start clears the trace, turns the state red and the lamps black. Eight units report at once,
// then one more: within 50 ms of its reply the lamps and the peer line show that last report,
// and the trace holds each unit's lines in the order it sent them. A stop turns it all grey at
// once; then the worker's stop steps run (no peer, no input on) and the port is free again.
// Other controls keep the dialog's colours.
TEST_F(ServerControlTest, StartReportStopCycle) {
    int port = StartServerOnAFreePort();
    EXPECT_TRUE(IsWaiting());
    EXPECT_FALSE(Dialog().m_editPort.IsWindowEnabled());
    EXPECT_EQ(Trace(), "server start.\r\n");
    EXPECT_EQ(StateBackground(), kRed);
    EXPECT_EQ(Lamps(), std::vector<Colour>(5, kBlack));
    std::vector<std::thread> units;
    for (char u = '1'; u <= '8'; ++u) {
        units.emplace_back([port, from = std::string("127.0.0.") + u] {
            for (char n = 0; n < 30; ++n)
                RunUnit(port, {{{n, '\x1f'}}, false, false, from.c_str()});
        });
    }
    Served([&] {
        for (std::thread& unit : units) unit.join();
        return 0;
    });
    const UnitResult last = Served([&] {
        return RunUnit(port, {{"\x01\x15"}, false, false, "127.0.0.9"});
    });
    ASSERT_TRUE(WaitUntil([&] {
        return Dialog().m_staticPeer.GetWindowText().ends_with(" : 127.0.0.9") &&
               Lamps() == std::vector<Colour>{kRed, kBlack, kRed, kBlack, kRed};
    }));
    EXPECT_LE(std::chrono::steady_clock::now() - last.repliedAt, std::chrono::milliseconds(50));
    const std::string trace = Trace();
    EXPECT_EQ(Count(trace, "Send : "), 241u);
    for (char u = '1'; u <= '8'; ++u) {
        size_t at = 0;
        for (int n = 0; n < 30 && at != std::string::npos; ++n) {
            char lines[96];
            std::snprintf(
                lines, sizeof lines,
                "from:127.0.0.%c   Reseived : %02x 1f \r\n--to:127.0.0.%c   Send : %02x 1f\r\n", u,
                n, u, n);
            at = trace.find(lines, at);
        }
        EXPECT_NE(at, std::string::npos) << "127.0.0." << u;
    }
    const Colour window = op::WindowBackground(Window());
    for (int id : {IDC_STATIC_PEER, IDC_STATIC_LOCALADDR, IDC_STATIC_VERSION}) {
        EXPECT_EQ(op::Shot(Control(id)).At(-1, -1), window) << id;
    }

    Dialog().OnButtonServer();
    EXPECT_TRUE(Dialog().m_editPort.IsWindowEnabled());
    EXPECT_EQ(StateBackground(), kGrey);
    EXPECT_EQ(Lamps(), kAllGrey);
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_TRUE(Trace().starts_with("server start.\r\n"));
    for (const auto& state : Dialog().m_bDiState) EXPECT_FALSE(state);
    EXPECT_EQ(Lamps(), kAllGrey);
    EXPECT_FALSE(IdleUnit(port).Connected());
}

// Start and stop again and again while a unit reports: each start binds the port the stop
// before it has just let go, no message, no socket left behind.
TEST_F(ServerControlTest, StartStopTogglingLeaksNothing) {
    const int port = StartServerOnAFreePort();
    Dialog().OnButtonServer();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    const long before = OpenHandleCount();
    std::atomic<bool> done{false};
    std::thread reporter([&] {
        while (!done) RunUnit(port, {{"\x01\x15"}}, 200);
    });
    for (int i = 0; i < 200; ++i) {
        Dialog().OnButtonServer();
        WaitUntil([] { return false; }, 1);  // let reports through between presses
    }
    done = true;
    reporter.join();
    EXPECT_EQ(prompter.TakeTexts(), Texts{});
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(OpenHandleCount(), before);
}

}  // namespace
