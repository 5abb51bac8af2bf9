#include "support/Ports.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"
#include "support/posix/ChildProcess.h"
#include "support/posix/Environment.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <future>

namespace {

using namespace std::chrono_literals;

// The built program, copied into a folder of its own as an operator installs it and started
// offscreen with settings its pointer file names: a signal while a message waits for the
// operator (the log cannot be opened) ends it, and the unit waiting behind that message still
// gets its reply.
TEST(Executable, EndsOnSigtermWhileWaitingForTheOperator) {
    TempFolder folder;
    const int port = FreePort();
    WriteFileBytes(folder.File("line.qd"), "#$PORT=" + std::to_string(port) +
                                               "\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n" +
                                               "#$LOGFILENAME=" + folder.File("no/such.csv"));
    WriteFileBytes(folder.File("NR-QD8K.ini"), folder.File("line.qd"));
    std::filesystem::copy_file(NR_APP_PATH, FileSystemPath(folder.File("NR-QD8K")));
    ScopedEnvironment offscreen("QT_QPA_PLATFORM", "offscreen");
    ChildProcess running(folder.File("NR-QD8K"), {});
    ASSERT_TRUE(running.Started());
    // Listening, so its signal handlers are in place. The port's line in the kernel's table is
    // seen without connecting.
    char listening[32];
    std::snprintf(listening, sizeof listening, ":%04X 00000000:0000 0A", port);
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFileBytes("/proc/net/tcp").find(listening) != std::string::npos; },
        10000));
    std::future<std::string> unit = std::async(
        std::launch::async, [port] { return RunUnit(port, {{"\x01\x15"}}, 20000).reply; });
    // Its reply is overdue: the program waits for the operator to answer the message.
    EXPECT_EQ(unit.wait_for(1s), std::future_status::timeout);
    running.Signal(SIGTERM);
    EXPECT_EQ(running.WaitForExit(10s), 0);
    EXPECT_EQ(unit.get(), "\x01\x15");
}

}  // namespace
