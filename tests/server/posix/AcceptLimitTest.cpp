#include "support/ServingCore.h"
#include "support/Waiting.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Descriptor limits are this system's.
using AcceptLimitTest = ServingCoreTest;

// Out of descriptors, accepting fails and rests; once descriptors are free again, the unit
// waiting in the listen queue is served within moments, with nothing else to wake the worker.
TEST_F(AcceptLimitTest, AcceptingResumesOnceDescriptorsAreFree) {
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
    const bool refused = WaitUntil([&] { return Trace().ends_with("accept error 10024\r\n"); });
    ::setrlimit(RLIMIT_NOFILE, &saved);
    const Clock::time_point freed = Clock::now();
    ASSERT_TRUE(connected && sent && refused) << Trace();
    ASSERT_TRUE(WaitUntil([&] { return test_net::Readable(unit); }));
    EXPECT_LT(Clock::now() - freed, std::chrono::milliseconds(250));
    char reply[2];
    EXPECT_EQ(::recv(unit, reply, sizeof reply, MSG_WAITALL), 2);
    EXPECT_EQ(std::string(reply, 2), "\x02\x0b");
    test_net::Close(unit);
}

}  // namespace
