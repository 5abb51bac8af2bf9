#include "support/Logged.h"
#include "support/ProgramRun.h"
#include "support/ServingCore.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"

#include <thread>

namespace {

using LoadAndFaultTest = ServingCoreTest;

// Twenty units at once, while others stall, send half frames and end or reset: every report
// (nr-load's, in the three-byte form) replied, right, and logged once with the states of its own
// frame.
TEST_F(LoadAndFaultTest, ManyUnitsAreServedWhileBadOnesMisbehave) {
    std::atomic<bool> done{false};
    std::thread vandal([&] {
        const char* halfFrames[] = {"", "\xfa", "\xfa\x01", "\x01"};
        for (int round = 0; !done && round < 200; ++round) {
            RunUnit(port, {{halfFrames[round % 4]}, round % 2 == 0, round % 3 == 0}, 100);
        }
    });
    const ProgramRun load =
        RunProgram(NR_LOAD_PATH,
                   {"--port", std::to_string(port), "--units", "20", "--count", "2000", "--three"},
                   std::chrono::seconds(60));
    done = true;
    vandal.join();
    EXPECT_EQ(load.exitCode, 0) << load.out << load.err;
    EXPECT_NE(load.out.find("reports=2000 ok=2000 missing=0 wrong=0 "), std::string::npos);
    EXPECT_EQ(LoggedStates(ReadFileBytes(LogPath())), StatesOfLoadReports(2000));
    EXPECT_EQ(Count(Trace(), "Reseived"), 0u) << "each report in the form asked for";
}

}  // namespace
