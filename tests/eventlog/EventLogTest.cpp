#include "Strings.h"
#include "eventlog/LocalClock.h"
#include "resource.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FixedClock : public LocalClock {
public:
    FixedClock() { LocalClock::Replace(this); }
    ~FixedClock() override { LocalClock::Replace(nullptr); }
    std::tm Now() const override {
        std::tm time{};
        ::strptime("2024-05-17 09:03:05", "%F %T", &time);
        return time;
    }
};

const std::string kFixed =
    "\x93\xfa\x95\x74,\x8e\x9e\x8d\x8f,\x90\xda\x91\xb1\x8c\xb3IP\x83\x41\x83h\x83\x8c\x83X,";
const std::string kDefaultHeader = kFixed + "DI1,DI2,DI3,DI4,DI5\r\n";
const std::string kRow15 = "2024/05/17,09:03:05,127.0.0.1,1,0,1,0,1\r\n";

class EventLogTest : public WindowTest {
protected:
    void SetUp() override { port = OpenServingWithLogging(); }
    std::string LogPath() { return folder.File("NR-QD8K.csv"); }
    std::string Log() { return ReadFileBytes(LogPath()); }
    void Report() { ASSERT_EQ(Exchange(port, "\x01\x15"), "\x01\x15"); }
    // As the operator types: one character into a name edit.
    void TypeInto(int id, Qt::Key key) { QTest::keyClick(Control(id), key); }

    FixedClock clock;
    int port = 0;
};

// A new or empty file gets a header and a file with rows none, until a name is edited: then the
// next row written, and only that one, follows a header with the names as they are then. Every
// edit counts, a restored text too, and one made while logging is off; a row that could not be
// written leaves the header due. Names go in as they stand: Japanese in CP932, commas and empty
// names unquoted.
TEST_F(EventLogTest, HeaderForNewFilesAndOnceAfterAnEdit) {
    Report();
    Report();
    EXPECT_EQ(Log(), kDefaultHeader + kRow15 + kRow15);
    WriteFileBytes(LogPath(), "");
    Report();
    EXPECT_EQ(Log(), kDefaultHeader + kRow15);

    WriteFileBytes(LogPath(), "old,header\r\n");
    Report();
    Dialog().m_diChannels[0].pName->SetWindowText("\x83\x7c\x83\x93\x83\x76");  // ポンプ
    Dialog().m_diChannels[1].pName->SetWindowText("a,b");
    Dialog().m_diChannels[2].pName->SetWindowText("");
    TypeInto(IDC_EDIT_DI2, Qt::Key_X);
    TypeInto(IDC_EDIT_DI4, Qt::Key_Y);
    Report();
    Report();
    Dialog().m_checkLogging.SetCheck(BST_UNCHECKED);
    TypeInto(IDC_EDIT_DI1, Qt::Key_Z);
    TypeInto(IDC_EDIT_DI1, Qt::Key_Backspace);
    Report();
    Dialog().m_checkLogging.SetCheck(BST_CHECKED);
    Dialog().m_strLogFile = "/dev/full";
    Report();
    Dialog().m_strLogFile = LogPath();
    Report();
    const std::string edited = kFixed + "\x83\x7c\x83\x93\x83\x76,a,bx,,DI4y,DI5\r\n";
    EXPECT_EQ(Log(), "old,header\r\n" + kRow15 + edited + kRow15 + kRow15 + edited + kRow15);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTextLogWriteFailed);
}

// A log that cannot be opened, written or is held by another writer: the message at every
// report, no row and no half row, and the unit still gets its reply.
TEST_F(EventLogTest, FailuresShowTheMessageAndLoseOnlyTheirRows) {
    struct Case {
        const char* what;
        std::string path;
        const char* message;
    } cases[] = {
        {"empty path", "", kTextLogOpenFailed},
        {"missing folder", folder.File("gone/log.csv"), kTextLogOpenFailed},
        {"full disk", "/dev/full", kTextLogWriteFailed},
        {"a pipe", folder.File("pipe"), kTextLogOpenFailed},
        {"not a CP932 name", folder.File("\xff.csv"), kTextLogOpenFailed},
        // Paths from Windows open nothing, here or in the home folder.
        {"a Windows path", "D:\\logs\\line1.csv", kTextLogOpenFailed},
        {"a drive-relative path", "D:line1.csv", kTextLogOpenFailed},
    };
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Dialog().m_strLogFile = c.path;
        prompter.messages.clear();
        Report();
        Report();
        ASSERT_EQ(prompter.messages.size(), 2u);
        EXPECT_EQ(prompter.messages[1].text, c.message);
    }

    Dialog().m_strLogFile = LogPath();
    Report();
    int other = ::open(LogPath().c_str(), O_WRONLY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    prompter.messages.clear();
    Report();
    ::close(other);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTextLogOpenFailed);
    Report();
    EXPECT_EQ(Log(), kDefaultHeader + kRow15 + kRow15);
}

// The browse command shows the path chosen and leaves the file alone until a report comes.
TEST_F(EventLogTest, BrowseChoosesThePathOnly) {
    prompter.plannedFiles.push_back(folder.File("line1.csv"));
    Dialog().OnBrowseLogFile();
    Dialog().OnBrowseLogFile();  // cancelled
    EXPECT_EQ(Text(Dialog().m_editLogFile), folder.File("line1.csv"));
    EXPECT_FALSE(FileExists(folder.File("line1.csv")));
    Report();
    EXPECT_EQ(ReadFileBytes(folder.File("line1.csv")), kDefaultHeader + kRow15);
}

}  // namespace
