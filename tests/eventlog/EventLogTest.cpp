#include "Strings.h"
#include "support/FixedClock.h"
#include "support/ServingCore.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"

namespace {

class EventLogTest : public ServingCoreTest {
protected:
    void Report() { EXPECT_EQ(Exchange(port, "\x01\x13"), "\x01\x13"); }

    FixedClock clock;
};

// A log that cannot be opened, written or is held by another program (locked as such programs
// lock it): the message at every report, no row and no half row, and the unit still gets its
// reply.
TEST_F(EventLogTest, FailuresShowTheMessageAndLoseOnlyTheirRows) {
    struct Case {
        const char* what;
        std::string path;
        const char* message;
    } cases[] = {
        {"empty path", "", kTextLogOpenFailed},
        {"missing folder", folder.File("gone/log.csv"), kTextLogOpenFailed},
        {"full disk", FullDiskPath(), kTextLogWriteFailed},
        {"a pipe", folder.File("pipe"), kTextLogOpenFailed},
        {"not a CP932 name", folder.File("\xff.csv"), kTextLogOpenFailed},
    };
    const bool pipeMade = MakePipe(folder.File("pipe"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.path.empty() && c.message != kTextLogOpenFailed) continue;  // no full disk here
        if (c.path == folder.File("pipe") && !pipeMade) continue;
        log.SetFile(c.path);
        Report();
        Report();
        EXPECT_EQ(TakeAlerts(), Texts(2, c.message));
    }

    log.SetFile(LogPath());
    Report();
    {
        const OtherWriter other(LogPath());
        ASSERT_TRUE(other.Holds());
        Report();
    }
    EXPECT_EQ(TakeAlerts(), Texts{kTextLogOpenFailed});
    Report();
    EXPECT_EQ(ReadFileBytes(LogPath()), kDefaultHeader + kRow + kRow);
}

}  // namespace
