#include <dirent.h>
#include <sys/socket.h>

#include <filesystem>
#include <future>
#include <thread>

#include "Strings.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"
#include "tools/ToolProcess.h"

namespace {

using nr::tools::test::MachineLine;
using nr::tools::test::RunTool;
using nr::tools::test::ToolRun;

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

    // Runs the load generator while the window is served; its machine line.
    std::map<std::string, std::string> Load(int units, int count) {
        std::future<ToolRun> run = std::async(std::launch::async, [&] {
            return RunTool(NR_LOAD_PATH,
                           {"--port", std::to_string(port), "--units", std::to_string(units),
                            "--count", std::to_string(count)},
                           std::chrono::seconds(120));
        });
        EXPECT_TRUE(WaitUntil(
            [&] { return run.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            130000));
        ToolRun result = run.get();
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return MachineLine(result.out);
    }
    size_t LogRows() {
        std::string log = ReadFileBytes(folder.File("NR-QD8K.csv"));
        size_t rows = 0;
        for (size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2)) {
            ++rows;
        }
        return rows - 1;  // the header
    }

    int port = 0;
};

// Twenty units at once: every report replied, right, and logged once.
TEST_F(LoadAndFaultTest, ManyConcurrentUnitsAreAllServedAndLogged) {
    auto line = Load(20, 2000);
    EXPECT_EQ(line["ok"], "2000");
    EXPECT_EQ(line["missing"], "0");
    EXPECT_EQ(line["wrong"], "0");
    EXPECT_EQ(LogRows(), 2000u);
}

// Units that stall, send half frames or garbage, or reset, while others report.
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
    auto line = Load(4, 300);
    done = true;
    vandal.join();
    EXPECT_EQ(line["ok"], "300");
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

// Start and stop again and again while a unit reports: no crash, no socket left behind.
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
