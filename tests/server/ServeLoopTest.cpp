#include <sys/socket.h>

#include "Strings.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

namespace {

class ServeLoopTest : public WindowTest {
protected:
    void SetUp() override {
        Open();
        port = FreePort();
        StartServerOn(port);
        ASSERT_TRUE(IsWaiting());
    }

    std::string States() {
        std::string states;
        for (auto& state : Dialog().m_bDiState) states += state ? '1' : '0';
        return states;
    }
    std::string PeerLine() { return Text(Dialog().m_staticPeer); }

    int port = 0;
};

// Each frame form, its reply and the states it leaves: bits 5 to 7 are echoed, never states.
TEST_F(ServeLoopTest, RepliesAndStatesPerFrame) {
    struct Case {
        std::string frame, reply, states, traceLine;
    } cases[] = {
        {"\x01\x15", "\x01\x15", "10101", "from:127.0.0.1   Reseived : 01 15 \r\n"},
        {"\xfa\x01\xe3", "\x01\xe3", "11000", "from:127.0.0.1   Received : fa 01 e3 \r\n"},
        {"\x07\xe0", "\x07\xe0", "00000", "from:127.0.0.1   Reseived : 07 e0 \r\n"},
        {"\x80\x1f", "\x80\x1f", "11111", "from:127.0.0.1   Reseived : 80 1f \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.traceLine);
        Dialog().m_editTrace.SetWindowText("");
        EXPECT_EQ(Exchange(port, c.frame), c.reply);
        EXPECT_EQ(States(), c.states);
        char sendLine[64];
        std::snprintf(sendLine, sizeof sendLine, "--to:127.0.0.1   Send : %02x %02x\r\n",
                      static_cast<unsigned char>(c.reply[0]),
                      static_cast<unsigned char>(c.reply[1]));
        EXPECT_EQ(Trace(), "select.\r\n" + c.traceLine + sendLine);
        EXPECT_EQ(PeerLine(), "\x90\xda\x91\xb1\x8c\xb3IP\x83\x41\x83h\x83\x8c\x83X : 127.0.0.1");
    }
}

// Nothing is compared with earlier reports: the same report twice is served twice.
TEST_F(ServeLoopTest, EqualReportsAreBothServed) {
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    size_t served = 0;
    for (size_t at = Trace().find("--to:"); at != std::string::npos;
         at = Trace().find("--to:", at + 1)) {
        ++served;
    }
    EXPECT_EQ(served, 2u);
}

// The peer line keeps the last unit until the stop, which restores the whole stopped look.
TEST_F(ServeLoopTest, StopWhileIdleRestoresTheStoppedLook) {
    EXPECT_EQ(Exchange(port, "\x01\x1f"), "\x01\x1f");
    EXPECT_NE(PeerLine(), "");
    EXPECT_EQ(States(), "11111");
    Dialog().OnButtonServer();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }, 1000));
    EXPECT_EQ(States(), "00000");
    EXPECT_EQ(PeerLine(), "");
    EXPECT_TRUE(Trace().ends_with("server stop.\r\n"));
}

// What a unit sends beyond one frame, or short of it: whole frames are served, the rest is
// dropped with a trace line, and nothing changes for a frame that never became whole.
TEST_F(ServeLoopTest, BadInputIsDroppedOrServedSafely) {
    struct Case {
        const char* what;
        UnitScript script;
        std::string reply;
    } cases[] = {
        {"nothing, then close", {"", {}, "", true, false}, ""},
        {"one byte", {"\x01", {}, "", true, false}, ""},
        {"marker alone", {"\xfa", {}, "", true, false}, ""},
        {"marker and lead", {"\xfa\x01", {}, "", true, false}, ""},
        {"split over two sends",
         {"\x05", std::chrono::milliseconds(50), "\x1f", false, false},
         "\x05\x1f"},
        {"marked frame split",
         {"\xfa", std::chrono::milliseconds(50), "\x02\x03", false, false},
         "\x02\x03"},
        {"frame and trailing bytes", {"\x01\x02\x03\x04\x05", {}, "", false, false}, "\x01\x02"},
        {"more than a buffer",
         {"\x09\x11" + std::string(9000, 'x'), {}, "", false, false},
         "\x09\x11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Dialog().m_editTrace.SetWindowText("");
        Dialog().m_bDiState[0] = TRUE;
        UnitResult result = RunUnit(port, c.script);
        ASSERT_TRUE(result.connected);
        EXPECT_EQ(result.reply, c.reply);
        if (c.reply.empty()) {
            std::string dropped = "dropped (" + std::to_string(c.script.frame.size()) +
                                  " bytes): closed before a whole frame\r\n";
            EXPECT_TRUE(WaitUntil([&] { return Trace().ends_with(dropped); })) << Trace();
            EXPECT_TRUE(Dialog().m_bDiState[0]);
        }
    }
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
}

// A unit that stalls holds the worker only for the bound; the next one is served after it.
TEST_F(ServeLoopTest, SilentUnitIsDroppedWithinTheBound) {
    IdleUnit silent(port);
    ASSERT_TRUE(silent.Connected());
    EXPECT_EQ(Exchange(port, "\x03\x04"), "\x03\x04");
    EXPECT_NE(Trace().find("no whole frame in time"), std::string::npos);
}

// A unit that resets before reading its reply does not harm the server.
TEST_F(ServeLoopTest, UnitResettingBeforeItsReplyIsHarmless) {
    for (int i = 0; i < 5; ++i) {
        UnitScript script;
        script.frame = "\x01\x01";
        script.resetInsteadOfReading = true;
        RunUnit(port, script);
    }
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_TRUE(IsWaiting());
}

}  // namespace
