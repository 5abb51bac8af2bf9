#include "support/Ports.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"
#include "support/posix/ChildProcess.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

namespace {

using namespace std::chrono_literals;

// nr-serve keeps the table of units as the window does: the silent time from the settings
// file, a unit quiet for that long named in its trace, the table written when it ends and read
// back at its next start, where the unit's count goes on.
TEST(ServeOnly, KeepsTheUnitsAndMarksTheSilentOnes) {
    TempFolder folder;
    const int port = FreePort();
    WriteFileBytes(folder.File("line.qd"),
                   "#$PORT=" + std::to_string(port) + "\r\n#$SILENTSEC=1\r\n");
    WriteFileBytes(folder.File("NR-QD8K.ini"), folder.File("line.qd"));
    std::filesystem::copy_file(NR_SERVE_PATH, FileSystemPath(folder.File("nr-serve")));
    for (const char* count : {"1", "2"}) {
        SCOPED_TRACE(count);
        ChildProcess serving(folder.File("nr-serve"), {});
        ASSERT_TRUE(ChildProcess::Listens(port));
        EXPECT_EQ(RunUnit(port, {{"\x01\x05"}, false, false, "127.0.0.7"}).reply, "\x01\x05");
        EXPECT_TRUE(WaitUntil(
            [&] { return serving.Out().find("unit silent: 127.0.0.7\n") != std::string::npos; }));
        serving.Signal(SIGTERM);
        EXPECT_EQ(serving.WaitForExit(10s), 0);
        const std::string units = ReadFileBytes(folder.File("NR-QD8K.units"));
        EXPECT_TRUE(units.starts_with("127.0.0.7,")) << units;
        EXPECT_TRUE(units.ends_with(std::string(",5,") + count + "\r\n")) << units;
    }
}

}  // namespace
