#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {

class LoadAndFaultTest : public WindowTest {
protected:
    void SetUp() override { port = OpenServingWithLogging(); }

    int port = 0;
};

// Twenty units at once, while others stall, send half frames and end or reset: every report
// replied, right, and logged once with the states of its own frame.
TEST_F(LoadAndFaultTest, ManyUnitsAreServedWhileBadOnesMisbehave) {
    std::atomic<bool> done{false};
    std::thread vandal([&] {
        const char* halfFrames[] = {"", "\xfa", "\xfa\x01", "\x01"};
        for (int round = 0; !done && round < 200; ++round) {
            RunUnit(port, {{halfFrames[round % 4]}, round % 2 == 0, round % 3 == 0}, 100);
        }
    });
    const ProgramRun load = Served([&] {
        return RunProgram(NR_LOAD_PATH,
                          {"--port", std::to_string(port), "--units", "20", "--count", "2000"},
                          std::chrono::seconds(60));
    });
    done = true;
    vandal.join();
    EXPECT_EQ(load.exitCode, 0) << load.out << load.err;
    EXPECT_NE(load.out.find("reports=2000 ok=2000 missing=0 wrong=0 "), std::string::npos);
    EXPECT_EQ(LoggedStates(ReadFileBytes(folder.File("NR-QD8K.csv"))), StatesOfLoadReports(2000));
}

// Out of descriptors, accepting fails and rests; once descriptors are free again, the unit
// waiting in the listen queue is served within moments, with nothing else to wake the worker.
TEST_F(LoadAndFaultTest, AcceptingResumesOnceDescriptorsAreFree) {
    using Clock = std::chrono::steady_clock;
    const int unit = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(lowestFree);
    rlimit none = saved;
    none.rlim_cur = lowestFree;  // every descriptor below it is taken
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const bool connected =
        ::connect(unit, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    const bool sent = ::send(unit, "\x02\x0b", 2, MSG_NOSIGNAL) == 2;
    // Only the calls the worker hands over: the event loop itself may want a descriptor.
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
    bool refused = false;
    UiThread::ServeUntil([&] {
        refused = Trace().ends_with("accept error 10024\r\n");
        return refused || Clock::now() > limit;
    });
    ::setrlimit(RLIMIT_NOFILE, &saved);
    const Clock::time_point freed = Clock::now();
    ASSERT_TRUE(connected && sent && refused) << Trace();
    ASSERT_TRUE(WaitUntil([&] {
        pollfd entry{unit, POLLIN, 0};
        return ::poll(&entry, 1, 0) > 0;
    }));
    EXPECT_LT(Clock::now() - freed, std::chrono::milliseconds(250));
    char reply[2];
    EXPECT_EQ(::recv(unit, reply, sizeof reply, MSG_WAITALL), 2);
    EXPECT_EQ(std::string(reply, 2), "\x02\x0b");
    ::close(unit);
}

}  // namespace
