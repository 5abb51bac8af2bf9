#include "support/Ports.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"
#include "support/posix/ChildProcess.h"
#include "support/posix/Environment.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

namespace {

using namespace std::chrono_literals;

// The built program, copied into a folder of its own as an operator installs it and started
// offscreen with settings its pointer file names: while a message waits for the operator (the
// log cannot be opened) the unit gets its reply at once, a signal ends the program, and the
// row waits in its home folder for the next start.
TEST(Executable, EndsOnSigtermWhileAMessageWaitsForTheOperator) {
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
    // Listening, so its signal handlers are in place.
    ASSERT_TRUE(ChildProcess::Listens(port));
    EXPECT_EQ(RunUnit(port, {{"\x01\x15"}}, 1000).reply, "\x01\x15");
    running.Signal(SIGTERM);
    EXPECT_EQ(running.WaitForExit(10s), 0);
    EXPECT_NE(ReadFileBytes(folder.File("NR-QD8K.waiting")).find(",127.0.0.1,1,0,1,0,1\r\n"),
              std::string::npos);
}

}  // namespace
