#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/CStdioFile.h"
#include "support/TempFolder.h"

namespace {

constexpr unsigned kReplace = CStdioFile::modeCreate | CStdioFile::modeWrite;
constexpr unsigned kAppend = CStdioFile::modeCreate | CStdioFile::modeNoTruncate |
                             CStdioFile::modeWrite | CStdioFile::shareExclusive;

std::vector<std::string> ReadLines(const std::string& path) {
    CStdioFile file;
    EXPECT_TRUE(file.Open(path, CStdioFile::modeRead));
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadString(line)) lines.push_back(line);
    return lines;
}

// Text mode: LF goes out as CR LF; lines come back without LF, or the CR before it.
TEST(CStdioFile, WritesAndReadsTextMode) {
    TempFolder folder;
    std::string path = folder.File("a.txt");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path, kReplace));
    file.WriteString("one\ntwo\n");
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo\r\n");

    WriteFileBytes(path, std::string("a\r\nb\nc\rd\n\ne") + '\0' + "z");
    EXPECT_EQ(ReadLines(path),
              (std::vector<std::string>{"a", "b", "c\rd", "", std::string("e\0z", 3)}));
}

// Opening for reading fails on a missing file and an empty or bad name.
TEST(CStdioFile, FailedOpenIsFalse) {
    TempFolder folder;
    CStdioFile file;
    EXPECT_FALSE(file.Open(folder.File("missing"), CStdioFile::modeRead));
    EXPECT_FALSE(file.Open("", CStdioFile::modeRead));
    EXPECT_FALSE(file.Open(folder.File("no/such/folder"), kReplace));
}

// A replace that cannot be written whole leaves the old file as it was, and no stray file.
TEST(CStdioFile, ReplaceKeepsTheOldFileWhenTheWriteFails) {
    TempFolder folder;
    std::string path = folder.File("settings.qd");
    WriteFileBytes(path, "old contents");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 4;  // a disk that fills after four bytes
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    CStdioFile file;
    bool opened = file.Open(path, kReplace);
    file.WriteString("new contents\n");
    bool closed = file.Close();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(closed);
    EXPECT_EQ(ReadFileBytes(path), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A device is written in place (never replaced by a file), and a full disk is a failed close.
TEST(CStdioFile, FullDiskIsAFailedClose) {
    CStdioFile file;
    ASSERT_TRUE(file.Open("/dev/full", kReplace));
    file.WriteString("x\n");
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(FileExists("/dev/full"));

    ASSERT_TRUE(file.Open("/dev/full", kAppend));
    file.WriteString("row\n");
    EXPECT_FALSE(file.Close());
}

// An appended block lands whole at the end; another writer holding the file makes the open fail.
TEST(CStdioFile, AppendsAtTheEndAndExclusively) {
    TempFolder folder;
    std::string path = folder.File("log.csv");
    WriteFileBytes(path, "first\r\n");
    CStdioFile file;
    ASSERT_TRUE(file.Open(path, kAppend));
    EXPECT_EQ(file.GetLength(), 7u);
    file.WriteString("second\n");
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadFileBytes(path), "first\r\nsecond\r\n");

    int other = ::open(path.c_str(), O_WRONLY);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_FALSE(file.Open(path, kAppend));
    ::close(other);
    EXPECT_TRUE(file.Open(path, kAppend));
}

}  // namespace
