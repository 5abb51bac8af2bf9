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
    const std::string unc = "\\\\server\\share\\a.csv";
    const struct {
        std::string path, onLinux, onWindows;  // where it leads
        bool opensAsGiven, opensResolved;      // the same on both
    } cases[] = {
        {"a.csv", home.File("a.csv"), home.File("a.csv"), false, true},
        {home.File("b.csv"), home.File("b.csv"), home.File("b.csv"), true, true},
        {"D:\\logs\\a.csv", "D:\\logs\\a.csv", "D:\\logs\\a.csv", false, false},
        {"D:a.csv", "D:a.csv", "D:a.csv", false, false},
        {unc, unc, unc, false, false},
        {"logs\\a.csv", "logs\\a.csv", home.File("logs\\a.csv"), false, false},
        {home.File("c\\d.csv"), home.File("c\\d.csv"), home.File("c\\d.csv"), false, false},
        {"", "", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string resolved = kWindowsPaths ? c.onWindows : c.onLinux;
        EXPECT_EQ(ResolvePath(c.path, home.Path()), resolved);
        for (const auto& [path, opens] :
             {std::pair(c.path, c.opensAsGiven), std::pair(resolved, c.opensResolved)}) {
            CStdioFile file;
            EXPECT_EQ(
                file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite) && file.Close(),
                opens);
        }
    }
    EXPECT_EQ(DirectoryOfPath(home.File(table)), home.Path());
    EXPECT_EQ(FileTitleOfPath(home.File(table)), "\x95\x5c");
    EXPECT_EQ(EntriesIn(home.Path()), 2);  // a.csv and b.csv
}

}  // namespace
