#include "platform/CStdioFile.h"
#include "support/SystemFiles.h"
#include "support/TempFolder.h"
#include "support/posix/OtherProcessLock.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

constexpr unsigned kReplace = CStdioFile::modeCreate | CStdioFile::modeWrite;
constexpr unsigned kAppend = CStdioFile::modeCreate | CStdioFile::modeNoTruncate |
                             CStdioFile::modeWrite | CStdioFile::shareExclusive;

// A replace keeps what the file is: its mode and owner, its other names, a link to it (even
// one that names no file yet).
TEST(CStdioFile, ReplaceKeepsWhatTheFileIs) {
    TempFolder folder;
    WriteFileBytes(folder.File("owned.qd"), "old");
    ASSERT_EQ(::chmod(FileSystemPath(folder.File("owned.qd")).c_str(), 0604), 0);
    WriteFileBytes(folder.File("linked.qd"), "old");
    ASSERT_EQ(::link(FileSystemPath(folder.File("linked.qd")).c_str(),
                     FileSystemPath(folder.File("other-name.qd")).c_str()),
              0);
    WriteFileBytes(folder.File("target.qd"), "old");
    ASSERT_EQ(::symlink("target.qd", FileSystemPath(folder.File("link-to-target")).c_str()), 0);
    ASSERT_EQ(::symlink("later.qd", FileSystemPath(folder.File("link-to-later")).c_str()), 0);
    const auto owner = [&] {
        struct stat status {};
        ::stat(FileSystemPath(folder.File("owned.qd")).c_str(), &status);
        return std::tuple(status.st_mode, status.st_uid, status.st_gid);
    };
    const auto ownerBefore = owner();
    for (const std::string& name :
         std::vector<std::string>{"owned.qd", "linked.qd", "link-to-target", "link-to-later"}) {
        SCOPED_TRACE(name);
        CStdioFile file;
        ASSERT_TRUE(file.Open(folder.File(name), kReplace));
        file.WriteString("new\n");
        ASSERT_TRUE(file.Close());
    }
    EXPECT_EQ(owner(), ownerBefore);
    for (const char* name : {"owned.qd", "other-name.qd", "target.qd", "later.qd"}) {
        EXPECT_EQ(ReadFileBytes(folder.File(name)), "new\r\n") << name;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(FileSystemPath(folder.File("link-to-later"))));
    EXPECT_EQ(EntriesIn(folder.Path()), 7);  // the names above: no temporary left
}

// A block that cannot be written whole leaves the file as it was before: a replace keeps the
// old file and no stray one, an append takes back what part of it was written, and only that
// (another program may have appended meanwhile).
TEST(CStdioFile, FailedWritesLeaveTheFileAsItWas) {
    TempFolder folder;
    std::string path = folder.File("file");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (unsigned flags : {kReplace, kAppend}) {
        SCOPED_TRACE(flags);
        WriteFileBytes(path, "old contents");
        rlimit tiny = saved;
        tiny.rlim_cur = 16;  // a disk that fills when part of the new block is written
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
        CStdioFile file;
        bool opened = file.Open(path, flags);
        std::ofstream(FileSystemPath(path), std::ios::app) << "+";
        file.WriteString("new contents, longer than the old\n");
        bool closed = file.Close();
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ASSERT_TRUE(opened);
        EXPECT_FALSE(closed);
        EXPECT_EQ(ReadFileBytes(path), "old contents+");
        EXPECT_EQ(EntriesIn(folder.Path()), 1);
    }
    std::signal(SIGXFSZ, previousHandler);
}

// An exclusive append is seen by other programs locking either way, and stays so when this
// process opens and closes the file again meanwhile (a record lock taken per process would go).
TEST(CStdioFile, ExclusiveHoldIsSeenByEitherKindOfLock) {
    TempFolder folder;
    const std::string path = folder.File("log.csv");
    CStdioFile held;
    ASSERT_TRUE(held.Open(path, kAppend));
    CStdioFile again;
    EXPECT_FALSE(again.Open(path, kAppend));
    ASSERT_TRUE(again.Open(path, CStdioFile::modeRead));
    again.Close();
    for (OtherProcessLock::Kind kind : {OtherProcessLock::kBsd, OtherProcessLock::kPosix}) {
        EXPECT_FALSE(OtherProcessLock(path, kind).Holds()) << kind;
    }
}

}  // namespace
