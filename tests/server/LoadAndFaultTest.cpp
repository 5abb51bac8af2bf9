#include "Strings.h"
#include "support/ChildProcess.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <dirent.h>
#include <sys/socket.h>

#include <filesystem>
#include <future>
#include <thread>

namespace {

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

class LoadAndFaultTest : public WindowTest {
protected:
    void SetUp() override { port = OpenServingWithLogging(); }

    // Runs the load generator while the window is served; the end of its machine line.
    std::string Load(int units, int count) {
        std::future<ProgramRun> run = std::async(std::launch::async, [&] {
            return RunProgram(NR_LOAD_PATH,
                              {"--port", std::to_string(port), "--units", std::to_string(units),
                               "--count", std::to_string(count)},
                              std::chrono::seconds(120));
        });
        EXPECT_TRUE(WaitUntil(
            [&] { return run.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            130000));
        ProgramRun result = run.get();
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return result.out.substr(std::min(result.out.rfind(" ok="), result.out.size()));
    }

    int port = 0;
};

// Twenty units at once: every report replied, right, and logged once.
TEST_F(LoadAndFaultTest, ManyConcurrentUnitsAreAllServedAndLogged) {
    EXPECT_TRUE(Load(20, 2000).starts_with(" ok=2000 missing=0 wrong=0 "));
    EXPECT_EQ(Count(ReadFileBytes(folder.File("NR-QD8K.csv")), "\r\n"), 1 + 2000u);  // header, rows
}

// Units that stall, send half frames or garbage, or reset before their reply, while others
// report.
TEST_F(LoadAndFaultTest, BadUnitsDoNotStopTheOthers) {
    std::atomic<bool> done{false};
    std::thread vandal([&] {
        const char* frames[] = {"", "\xfa", "\xfa\x01", "\x01", "garbage\xff\xfe bytes"};
        for (int round = 0; !done && round < 200; ++round) {
            UnitScript script;
            script.frame = frames[round % 5];
            script.closeAfterSending = round % 2 == 0;
            script.resetInsteadOfReading = round % 3 == 0;
            RunUnitHere(port, script, 100);
        }
    });
    const std::string line = Load(4, 300);
    done = true;
    vandal.join();
    EXPECT_TRUE(line.starts_with(" ok=300 ")) << line;
    EXPECT_TRUE(IsWaiting());
}

// The log's folder goes away: a message per report, the units still answered; once the folder
// is back, a new file with its header.
TEST_F(LoadAndFaultTest, LogFolderThatDisappearsAndComesBack) {
    std::string logFolder = folder.File("logs");
    std::filesystem::create_directory(logFolder);
    Dialog().m_strLogFile = logFolder + "/line.csv";
    EXPECT_EQ(Exchange(port, "\x01\x01"), "\x01\x01");
    std::filesystem::remove_all(logFolder);
    EXPECT_EQ(Exchange(port, "\x01\x02"), "\x01\x02");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTextLogOpenFailed);
    std::filesystem::create_directory(logFolder);
    EXPECT_EQ(Exchange(port, "\x01\x03"), "\x01\x03");
    std::string log = ReadFileBytes(logFolder + "/line.csv");
    EXPECT_TRUE(log.starts_with("\x93\xfa\x95\x74,"));
    EXPECT_TRUE(log.ends_with(",127.0.0.1,1,1,0,0,0\r\n"));
}

// Start and stop again and again while a unit reports: each start binds the port the stop
// before it has just let go, no crash, no socket left behind.
TEST_F(LoadAndFaultTest, StartStopTogglingLeaksNothing) {
    Dialog().OnButtonServer();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    const int before = OpenDescriptors();
    std::atomic<bool> done{false};
    std::thread reporter([&] {
        while (!done) {
            UnitScript script;
            script.frame = "\x01\x15";
            RunUnitHere(port, script, 200);
        }
    });
    for (int i = 0; i < 200; ++i) {
        Dialog().OnButtonServer();
        ASSERT_TRUE(prompter.messages.empty()) << prompter.messages[0].text;
        WaitUntil([] { return false; }, 1);  // let reports through between presses
    }
    done = true;
    reporter.join();
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
