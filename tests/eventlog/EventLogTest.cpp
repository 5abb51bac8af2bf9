#include "Strings.h"
#include "support/FixedClock.h"
#include "support/ServingCore.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace {

class EventLogTest : public ServingCoreTest {
protected:
    void Report(const char* from) {
        EXPECT_EQ(RunUnit(port, {{"\x01\x13"}, false, false, from}).reply, "\x01\x13");
    }
    static std::string Row(const char* from) {
        return "2024/11/28,21:47:36," + std::string(from) + ",1,1,0,0,1\r\n";
    }
    std::string WaitingFile() const { return folder.File("NR-QD8K.waiting"); }

    FixedClock clock;
};

// A file that takes no rows (held by another program as office programs hold it, its folder
// gone, the disk full, a name no file can have): every unit still gets its reply, the message
// comes once, and each row waits in the home folder. Once the file takes rows again (also
// another file chosen meanwhile), they follow in the order they came, even when no unit reports,
// with the header where it would have stood.
TEST_F(EventLogTest, RowsWaitWhileTheFileTakesNone) {
    const std::string edited = kFixedHeaderStart + "Door,DI2,DI3,DI4,DI5\r\n";
    std::unique_ptr<OtherWriter> held;
    struct Case {
        const char* what;
        std::string path;
        const char* message;
        std::function<void()> hold, free;  // the file taking no rows, and again
    } cases[] = {
        {"held", folder.File("held.csv"), kTextLogOpenFailed,
         [&] { held = std::make_unique<OtherWriter>(folder.File("held.csv")); },
         [&] { held.reset(); }},
        {"folder gone", folder.File("gone/log.csv"), kTextLogOpenFailed, [] {},
         [&] { std::filesystem::create_directory(FileSystemPath(folder.File("gone"))); }},
        {"disk full", FullDiskPath(), kTextLogWriteFailed, [] {},
         [&] { log.SetFile(folder.File("full.csv")); }},
        {"no such name", folder.File("\xff.csv"), kTextLogOpenFailed, [] {},
         [&] { log.SetFile(folder.File("named.csv")); }},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.path.empty()) continue;  // no full disk here
        log.SetFile(c.path);
        c.hold();
        Report("127.0.0.2");
        log.SetNames({"Door", "DI2", "DI3", "DI4", "DI5"});
        log.RequestHeader();
        Report("127.0.0.3");
        EXPECT_EQ(TakeAlerts(), Texts{c.message});
        EXPECT_EQ(log.WaitingRowCount(), 2u);
        c.free();
        // The first without a report to bring them.
        if (&c == &cases[0]) {
            ASSERT_TRUE(WaitUntil([&] { return log.WaitingRowCount() == 0; }, 6000));
        }
        Report("127.0.0.4");
        EXPECT_EQ(ReadFileBytes(log.File()),
                  kDefaultHeader + Row("127.0.0.2") + edited + Row("127.0.0.3") + Row("127.0.0.4"));
        EXPECT_FALSE(FileExists(WaitingFile()));
        EXPECT_EQ(TakeAlerts(), Texts{});
        log.SetNames({"DI1", "DI2", "DI3", "DI4", "DI5"});
    }
}

// Rows still waiting when the program ends are written at its next start, after a header when
// the file is new; only when the home folder cannot take them either are they lost, said once.
TEST_F(EventLogTest, WaitingRowsOutliveTheProgramOrAreLostOnlyWithTheHomeFolder) {
    log.SetFile(folder.File("gone/log.csv"));
    Report("127.0.0.2");
    Stop();
    EXPECT_EQ(TakeAlerts(), Texts{kTextLogOpenFailed});
    std::filesystem::create_directory(FileSystemPath(folder.File("gone")));
    EventLog next(folder.Path(), listeners);
    next.SetFile(folder.File("gone/log.csv"));
    next.WriteWaitingRows();
    EXPECT_EQ(ReadFileBytes(folder.File("gone/log.csv")), kDefaultHeader + Row("127.0.0.2"));
    EXPECT_EQ(next.WaitingRowCount(), 0u);

    std::filesystem::create_directory(FileSystemPath(WaitingFile()));
    next.SetFile(folder.File("again/log.csv"));
    next.SetLogging(true);
    for (int i = 0; i < 2; ++i) next.OnReport({"127.0.0.5", 1, 0x13, clock.Now()});
    EXPECT_EQ(TakeAlerts(), Texts{kTextLogRowsLost});
    EXPECT_TRUE(Trace().ends_with("log row lost: 2 in all\r\n"));
}

}  // namespace
