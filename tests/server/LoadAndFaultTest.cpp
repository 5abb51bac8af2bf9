#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <filesystem>
#include <thread>

namespace {

class LoadAndFaultTest : public WindowTest {
protected:
    void SetUp() override { port = OpenServingWithLogging(); }

    int port = 0;
};

// Twenty units at once, while others stall, send half frames and end or reset: every report
// replied, right, and logged once.
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
    EXPECT_EQ(Count(ReadFileBytes(folder.File("NR-QD8K.csv")), "\r\n"), 1 + 2000u);  // header, rows
    EXPECT_TRUE(IsWaiting());
}

// Start and stop again and again while a unit reports: each start binds the port the stop
// before it has just let go, no crash, no socket left behind.
TEST_F(LoadAndFaultTest, StartStopTogglingLeaksNothing) {
    Dialog().OnButtonServer();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    const long before = EntriesIn("/proc/self/fd");
    std::atomic<bool> done{false};
    std::thread reporter([&] {
        while (!done) {
            RunUnit(port, {{"\x01\x15"}}, 200);
        }
    });
    for (int i = 0; i < 200; ++i) {
        Dialog().OnButtonServer();
        EXPECT_TRUE(prompter.messages.empty());
        WaitUntil([] { return false; }, 1);  // let reports through between presses
    }
    done = true;
    reporter.join();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(EntriesIn("/proc/self/fd"), before);  // no socket left behind
}

}  // namespace
