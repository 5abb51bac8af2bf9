#include <poll.h>
#include <sys/socket.h>

#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "Strings.h"
#include "resource.h"
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

// Connections wait side by side: a good unit never waits for another unit's silence, and a
// silent one is dropped once its own time is up.
TEST_F(ServeLoopTest, GoodUnitIsServedWhileSilentOnesWait) {
    for (int silentCount : {1, 50}) {
        SCOPED_TRACE(silentCount);
        Dialog().m_editTrace.SetWindowText("");
        std::vector<std::unique_ptr<IdleUnit>> silent;
        for (int i = 0; i < silentCount; ++i) silent.push_back(std::make_unique<IdleUnit>(port));
        EXPECT_EQ(Exchange(port, "\x03\x04"), "\x03\x04");
        EXPECT_EQ(Trace().find("dropped"), std::string::npos) << Trace();
        if (silentCount == 1) {
            EXPECT_TRUE(WaitUntil([&] {
                return Trace().ends_with("dropped (0 bytes): no whole frame in time\r\n");
            }));
        }
    }
}

// A unit feeding its frame a byte at a time holds up nobody, and is served once it is whole.
TEST_F(ServeLoopTest, SlowUnitDoesNotHoldUpOthers) {
    IdleUnit slow(port);
    for (char byte : std::string("\xfa\x01\x02")) {
        EXPECT_EQ(Exchange(port, "\x05\x06"), "\x05\x06");
        ASSERT_EQ(::send(slow.Socket(), &byte, 1, 0), 1);
    }
    ASSERT_TRUE(WaitUntil([&] {
        pollfd entry{slow.Socket(), POLLIN, 0};
        return ::poll(&entry, 1, 0) > 0;
    }));
    char reply[2];
    EXPECT_EQ(::recv(slow.Socket(), reply, sizeof reply, MSG_WAITALL), 2);
    EXPECT_EQ(std::string(reply, 2), "\x01\x02");
}

// The wait set is bounded: one connection beyond it drops the one that has waited longest.
TEST_F(ServeLoopTest, ConnectionBeyondTheBoundDropsTheOldest) {
    std::vector<std::unique_ptr<IdleUnit>> silent;
    for (int i = 0; i < 255; ++i) silent.push_back(std::make_unique<IdleUnit>(port));
    // Served after the 255 have been accepted, as the listen queue keeps its order.
    EXPECT_EQ(Exchange(port, "\x03\x04"), "\x03\x04");
    silent.push_back(std::make_unique<IdleUnit>(port));
    silent.push_back(std::make_unique<IdleUnit>(port));
    ASSERT_TRUE(WaitUntil([&] { return Trace().find("dropped") != std::string::npos; }));
    EXPECT_TRUE(Trace().ends_with("dropped (0 bytes): too many connections waiting\r\n"));
    EXPECT_EQ(Trace().find("dropped"), Trace().rfind("dropped"));
    ASSERT_TRUE(WaitUntil([&] {
        pollfd entry{silent.front()->Socket(), POLLIN, 0};
        return ::poll(&entry, 1, 0) > 0;
    }));
    char byte;
    EXPECT_EQ(::recv(silent.front()->Socket(), &byte, 1, 0), 0);
    pollfd second{silent[1]->Socket(), POLLIN, 0};
    EXPECT_EQ(::poll(&second, 1, 0), 0);
}

// The worker reads the logging box from a copy: every way the box changes must reach it.
TEST_F(ServeLoopTest, LoggingFollowsTheBoxHoweverItChanges) {
    auto logLines = [&] {
        std::string log = ReadFileBytes(folder.File("NR-QD8K.csv"));
        return std::count(log.begin(), log.end(), '\n');
    };
    QWidget* box = Control(IDC_CHECK_LOGGING);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(logLines(), 2) << "header and row after a click";
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(logLines(), 2) << "no row after the key took the tick away";
    WriteFileBytes(folder.File("on.qd"), "#$LOGGING=ON\r\n");
    Dialog().m_bReady = FALSE;
    Dialog().LoadSettings(folder.File("on.qd"));
    Dialog().m_bReady = TRUE;
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(logLines(), 3) << "a row after a settings load ticked it";
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
