#include "support/Logged.h"
#include "support/ServingCore.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"

#include <gmock/gmock.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

class ServeLoopTest : public ServingCoreTest {
protected:
    // The inputs of the last report, DI1 first.
    std::string States() {
        std::string states;
        for (int i = 0; i < kDiChannels; ++i) states += Reports().back().Input(i) ? '1' : '0';
        return states;
    }
};

// Each frame form, its reply (the frame's last two bytes) and the inputs it reports: bits 5 to 7
// are echoed, never inputs. Nothing is compared with earlier reports: the same report again is
// served again. Each report names the unit that sent it.
TEST_F(ServeLoopTest, RepliesAndStatesPerFrame) {
    struct Case {
        std::string frame, states, received, sent;
        const char* from;
    } cases[] = {
        {"\x01\x13", "11001", "Reseived : 01 13 ", "01 13", "127.0.0.1"},
        {"\xfa\x01\xe3", "11000", "Received : fa 01 e3 ", "01 e3", "127.0.0.2"},
        {"\x07\xe0", "00000", "Reseived : 07 e0 ", "07 e0", "127.0.0.2"},
        {"\x80\x1e", "01111", "Reseived : 80 1e ", "80 1e", "127.1.2.3"},
        {"\x80\x1e", "01111", "Reseived : 80 1e ", "80 1e", "127.1.2.3"},
        {std::string("\x00\xfa", 2), "01011", "Reseived : 00 fa ", "00 fa", "127.0.0.1"},
        {"\xfa\xfa\x05", "10100", "Received : fa fa 05 ", "fa 05", "127.0.0.3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.received + c.from);
        ClearTrace();
        UnitResult result = RunUnit(port, {{c.frame}, false, false, c.from});
        EXPECT_EQ(result.reply, c.frame.substr(c.frame.size() - 2));
        EXPECT_EQ(States(), c.states);
        const std::string from = c.from;
        const std::string lines = "from:" + from + "   " + c.received + "\r\n--to:" + from +
                                  "   Send : " + c.sent + "\r\n";
        // A unit that connects while the last one's wake still accepts needs no wake of its own.
        EXPECT_THAT(Trace(), testing::AnyOf("select.\r\n" + lines, lines));
        EXPECT_EQ(Reports().back().unitAddress, from);
    }
}

// What a unit sends short of a frame is dropped with a trace line, and reports nothing; a
// frame in pieces is served once whole. Bytes beyond a frame are read and dropped before the
// close, which would reset the connection under the reply otherwise.
TEST_F(ServeLoopTest, BadInputIsDroppedOrServedSafely) {
    struct Case {
        UnitScript script;
        std::string reply;
    } cases[] = {
        {{{""}, true}, ""},
        {{{"\x01"}, true}, ""},
        {{{"\xfa"}, true}, ""},
        {{{"\xfa\x01"}, true}, ""},
        {{{"\x05", "\x1f"}}, "\x05\x1f"},
        {{{"\xfa", "\x02\x03"}}, "\x02\x03"},
        {{{"\x09\x11" + std::string(9000, 'x')}}, "\x09\x11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.script.pieces));
        ClearTrace();
        const size_t reportsBefore = Reports().size();
        UnitResult result = RunUnit(port, c.script);
        EXPECT_EQ(result.reply, c.reply);
        EXPECT_FALSE(result.reset);
        if (c.reply.empty()) {
            std::string dropped = "dropped (" + std::to_string(c.script.pieces[0].size()) +
                                  " bytes): closed before a whole frame\r\n";
            EXPECT_TRUE(WaitUntil([&] { return Trace().ends_with(dropped); })) << Trace();
            EXPECT_EQ(Reports().size(), reportsBefore);
        }
    }
}

// Each unit has 2 s from its connect for its whole frame, however it sends: one silent, one that
// sends a byte more at 1.5 s, and one that connects a second later are each closed without a
// reply at their own deadline.
TEST_F(ServeLoopTest, EachUnitHasTwoSecondsFromItsConnect) {
    using Clock = std::chrono::steady_clock;
    using namespace std::chrono_literals;
    struct Unit {
        std::unique_ptr<IdleUnit> unit;
        Clock::time_point connectedAt;
        std::optional<Clock::duration> closedAfter;
    } units[3];
    auto connect = [&](Unit& u) {
        u.unit = std::make_unique<IdleUnit>(port);
        u.connectedAt = Clock::now();
    };
    connect(units[0]);
    connect(units[1]);
    ASSERT_TRUE(test_net::Send(units[1].unit->Socket(), "\xfa"));
    bool sentMore = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const Clock::duration elapsed = Clock::now() - units[0].connectedAt;
            if (!units[2].unit && elapsed >= 1s) connect(units[2]);
            if (!sentMore && elapsed >= 1500ms) {
                sentMore = test_net::Send(units[1].unit->Socket(), "\x01");
            }
            bool allClosed = true;
            for (Unit& u : units) {
                if (u.unit && !u.closedAfter && u.unit->Readable(0)) {
                    u.closedAfter = Clock::now() - u.connectedAt;
                    EXPECT_EQ(u.unit->Ending(), test_net::Received::kClosed);
                }
                allClosed &= u.closedAfter.has_value();
            }
            return allClosed;
        },
        6000));
    for (const Unit& u : units) {
        ASSERT_TRUE(u.closedAfter);
        EXPECT_GE(*u.closedAfter, 1900ms);
        EXPECT_LE(*u.closedAfter, 2600ms);
    }
    EXPECT_EQ(Count(Trace(), "dropped (0 bytes): no whole frame in time\r\n"), 2u);
    EXPECT_EQ(Count(Trace(), "dropped (2 bytes): no whole frame in time\r\n"), 1u);
}

// Connections wait side by side, so a good unit never waits for others' silence. The wait set
// is bounded: one connection beyond it drops the one that has waited longest. A stop takes
// effect at once: the connections still waiting are reset without a reply, each with a trace
// line, and so is the port, free for a restart at once.
TEST_F(ServeLoopTest, WaitingConnectionsAreBoundedAndClosedAtAStop) {
    std::vector<std::unique_ptr<IdleUnit>> silent;
    for (int i = 0; i < 255; ++i) silent.push_back(std::make_unique<IdleUnit>(port));
    // Served after the 255 have been accepted, as the listen queue keeps its order.
    EXPECT_EQ(Exchange(port, "\x03\x04"), "\x03\x04");
    silent.push_back(std::make_unique<IdleUnit>(port));
    silent.push_back(std::make_unique<IdleUnit>(port));
    ASSERT_TRUE(WaitUntil([&] { return Trace().find("dropped") != std::string::npos; }));
    EXPECT_EQ(Count(Trace(), "dropped (0 bytes): too many connections waiting\r\n"), 1u);
    EXPECT_EQ(silent.front()->Ending(), test_net::Received::kClosed);
    EXPECT_FALSE(silent[1]->Readable(0));

    server.RequestStop();
    ASSERT_TRUE(WaitUntil([&] { return Stopped(); }));
    EXPECT_EQ(server.Listen(port), std::nullopt);
    // Each traced once; on a slow machine some may have had their time first, and were closed.
    const size_t stopped = Count(Trace(), "dropped (0 bytes): server stopped\r\n");
    EXPECT_EQ(stopped + Count(Trace(), "dropped (0 bytes): no whole frame in time\r\n"), 256u);
    std::map<test_net::Received, size_t> endings;
    for (size_t i = 1; i < silent.size(); ++i) ++endings[silent[i]->Ending()];
    EXPECT_EQ(endings[test_net::Received::kReset], stopped);
    EXPECT_EQ(endings[test_net::Received::kClosed], 256u - stopped);
}

}  // namespace
