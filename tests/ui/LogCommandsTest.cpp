#include "Strings.h"
#include "platform/Cp932.h"
#include "resource.h"
#include "support/FixedClock.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "ui/support/WindowTest.h"

#include <cstdio>
#include <memory>
#include <thread>

namespace {

class LogCommandsTest : public ServingWindowTest {
protected:
    std::string LogPath() { return folder.File("NR-QD8K.csv"); }
    std::string Log() { return ReadFileBytes(LogPath()); }
    UnitResult Report(const char* from = "127.0.0.1") {
        UnitResult result = Served([&] {
            return RunUnit(port, {{"\x01\x13"}, false, false, from});
        });
        EXPECT_EQ(result.reply, "\x01\x13");
        return result;
    }
    size_t LogLines() { return Count(Log(), "\n"); }
    // As the operator types: one character into a name edit.
    void TypeInto(int id, int key) { op::Press(Control(id), key); }

    FixedClock clock;
};

// A new or empty file gets a header and a file with rows none, until a name is edited: then the
// next row written, and only that one, follows a header with the names as they are then. Every
// edit counts, a restored text too, and one made while logging is off. Names go in as they
// stand: Japanese in CP932, commas and empty names unquoted, one ending in 表 (second byte '\')
// too.
TEST_F(LogCommandsTest, HeaderForNewFilesAndOnceAfterAnEdit) {
    Report();
    Report();
    EXPECT_EQ(Log(), kDefaultHeader + kRow + kRow);
    WriteFileBytes(LogPath(), "");
    Report();
    EXPECT_EQ(Log(), kDefaultHeader + kRow);

    WriteFileBytes(LogPath(), "old,header\r\n");
    Report("127.0.0.2");
    Dialog().m_diChannels[0].pName->SetWindowText("\x83\x7c\x83\x80\x82\xa0\x95\x5c");  // ポムあ表
    Dialog().m_diChannels[1].pName->SetWindowText("a,b");
    Dialog().m_diChannels[2].pName->SetWindowText("");
    TypeInto(IDC_EDIT_DI2, 'X');
    TypeInto(IDC_EDIT_DI4, 'Y');
    Report();
    Report();
    Dialog().m_checkLogging.SetCheck(kUnchecked);
    TypeInto(IDC_EDIT_DI1, 'Z');
    TypeInto(IDC_EDIT_DI1, op::kBackspace);
    Report();
    Dialog().m_checkLogging.SetCheck(kChecked);
    Report();
    const std::string edited =
        kFixedHeaderStart + "\x83\x7c\x83\x80\x82\xa0\x95\x5c,a,bx,,DI4y,DI5\r\n";
    const std::string fromOther = "2024/11/28,21:47:36,127.0.0.2,1,1,0,0,1\r\n";
    EXPECT_EQ(Log(), "old,header\r\n" + fromOther + edited + kRow + kRow + edited + kRow);
    EXPECT_EQ(prompter.TakeTexts(), Texts{});
}

// While another program holds the log, the operator is told once and no unit waits for the
// OK; the file line shows how many rows wait, and the path alone again once they are written.
TEST_F(LogCommandsTest, AHeldLogHoldsUpNoUnit) {
    using Clock = std::chrono::steady_clock;
    prompter.operatorReads = [] { std::this_thread::sleep_for(std::chrono::seconds(1)); };
    auto held = std::make_unique<OtherWriter>(LogPath());
    ASSERT_TRUE(held->Holds());
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point sentAt = Clock::now();
        EXPECT_LT(Report().repliedAt - sentAt, std::chrono::milliseconds(500));
    }
    char line[512];
    std::snprintf(line, sizeof line, kFormatLogRowsWaiting, size_t{3}, LogPath().c_str());
    EXPECT_TRUE(WaitUntil([&] { return Text(Dialog().m_editLogFile) == line; }));
    EXPECT_EQ(prompter.TakeTexts(), Texts{kTextLogOpenFailed});
    held.reset();
    EXPECT_TRUE(WaitUntil([&] { return Text(Dialog().m_editLogFile) == LogPath(); }, 6000));
    EXPECT_EQ(Log(), kDefaultHeader + kRow + kRow + kRow);
}

// A message that comes once the window is ending goes to the trace: nobody is left to answer
// it, and it would hold the ended window open.
TEST_F(LogCommandsTest, AMessageAfterTheEndGoesToTheTrace) {
    OtherWriter held(LogPath());
    ASSERT_TRUE(held.Holds());
    // Not served: the message waits on its way to the window.
    EXPECT_EQ(RunUnit(port, {{"\x01\x13"}}).reply, "\x01\x13");
    op::Press(Control(IDC_EDIT_DI1), op::kEscape);
    EXPECT_FALSE(Dialog().IsWindowVisible());
    EXPECT_TRUE(WaitUntil([&] { return Trace().find(kTextLogOpenFailed) != std::string::npos; }));
    EXPECT_EQ(prompter.TakeTexts(), Texts{});
}

// The worker reads the logging box from a copy: a click and a key must reach it (a settings
// load too: see the settings commands).
TEST_F(LogCommandsTest, LoggingFollowsTheBoxHoweverItChanges) {
    WndHandle* box = Control(IDC_CHECK_LOGGING);
    Dialog().m_checkLogging.SetCheck(kUnchecked);
    op::Click(box);
    Report();
    EXPECT_EQ(LogLines(), 2u) << "header and row after a click";
    op::Press(box, op::kSpace);
    Report();
    EXPECT_EQ(LogLines(), 2u) << "no row after the key took the tick away";
}

// The browse command shows the path chosen and leaves the file alone until a report comes.
TEST_F(LogCommandsTest, BrowseChoosesThePathOnly) {
    prompter.plannedFiles.push_back(cp932::ToUtf8(folder.File("line1.csv")));
    Dialog().OnBrowseLogFile();
    Dialog().OnBrowseLogFile();  // cancelled
    EXPECT_EQ(Text(Dialog().m_editLogFile), folder.File("line1.csv"));
    EXPECT_FALSE(FileExists(folder.File("line1.csv")));
    Report();
    EXPECT_EQ(ReadFileBytes(folder.File("line1.csv")), kDefaultHeader + kRow);
}

}  // namespace
