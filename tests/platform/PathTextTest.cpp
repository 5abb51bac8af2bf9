#include "platform/CStdioFile.h"
#include "platform/PathText.h"
#include "support/SystemFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Where a path from a settings file leads: a relative one into the home folder, anything else as
// it stands. On Linux the file layer opens only full paths of its own, so a Windows path (drive
// letter, or a backslash anywhere) opens nothing, here or in the home folder. On Windows a
// backslash separates like '/', and a path without a drive or a leading separator is relative.
// The second byte of "表" (0x5C) separates nothing on either.
TEST(PathText, WherePathsLeadAndWhatOpens) {
    TempFolder home;
    const std::string table = "\x95\x5c.csv";
    struct Where {
        std::string resolved;
        bool opensAsGiven, opensResolved;
    };
    const struct {
        std::string path;
        Where onLinux, onWindows;
    } cases[] = {
        {"a.csv", {home.File("a.csv"), false, true}, {home.File("a.csv"), false, true}},
        {table, {home.File(table), false, true}, {home.File(table), false, true}},
        {home.File("b.csv"), {home.File("b.csv"), true, true}, {home.File("b.csv"), true, true}},
        {"D:\\logs\\line1.csv",
         {"D:\\logs\\line1.csv", false, false},
         {"D:\\logs\\line1.csv", false, false}},
        {"D:line1.csv", {"D:line1.csv", false, false}, {"D:line1.csv", false, false}},
        {"\\\\server\\share\\a.csv",
         {"\\\\server\\share\\a.csv", false, false},
         {"\\\\server\\share\\a.csv", false, false}},
        {"logs\\a.csv", {"logs\\a.csv", false, false}, {home.File("logs\\a.csv"), false, false}},
        {home.File("c\\d.csv"),
         {home.File("c\\d.csv"), false, false},
         {home.File("c\\d.csv"), false, false}},
        {"", {"", false, false}, {"", false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Where& expected = kWindowsPaths ? c.onWindows : c.onLinux;
        EXPECT_EQ(ResolvePath(c.path, home.Path()), expected.resolved);
        for (const auto& [path, opens] : {std::pair(c.path, expected.opensAsGiven),
                                          std::pair(expected.resolved, expected.opensResolved)}) {
            CStdioFile file;
            EXPECT_EQ(
                file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite) && file.Close(),
                opens);
        }
    }
    EXPECT_EQ(DirectoryOfPath(home.File(table)), home.Path());
    EXPECT_EQ(FileTitleOfPath(home.File(table)), "\x95\x5c");
    // Named as the system names CP932 text: in UTF-8 on Linux.
    EXPECT_TRUE(FileExists(home.File(kWindowsPaths ? table : "\xe8\xa1\xa8.csv")));
    EXPECT_EQ(EntriesIn(home.Path()), 3);  // a.csv, b.csv and the table's
}

}  // namespace
