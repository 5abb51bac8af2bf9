#include "platform/CStdioFile.h"
#include "platform/PathText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Where a path from a settings file leads: a relative one into the home folder, anything else as
// it stands. The file layer opens only full paths of this system, so a Windows path (drive
// letter, or a backslash anywhere) opens nothing, here or in the home folder; the second byte of
// "表" (0x5C) is no backslash.
TEST(PathText, WherePathsLeadAndWhatOpens) {
    TempFolder home;
    const std::string table = "\x95\x5c.csv";
    const struct {
        std::string path, resolved;
        bool opensAsGiven, opensResolved;
    } cases[] = {
        {"a.csv", home.File("a.csv"), false, true},
        {table, home.File(table), false, true},
        {home.File("b.csv"), home.File("b.csv"), true, true},
        {"D:\\logs\\line1.csv", "D:\\logs\\line1.csv", false, false},
        {"D:line1.csv", "D:line1.csv", false, false},
        {"\\\\server\\share\\a.csv", "\\\\server\\share\\a.csv", false, false},
        {"logs\\a.csv", "logs\\a.csv", false, false},
        {home.File("c\\d.csv"), home.File("c\\d.csv"), false, false},
        {"", "", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ResolvePath(c.path, home.Path()), c.resolved);
        for (const auto& [path, opens] :
             {std::pair(c.path, c.opensAsGiven), std::pair(c.resolved, c.opensResolved)}) {
            CStdioFile file;
            EXPECT_EQ(
                file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite) && file.Close(),
                opens);
        }
    }
    EXPECT_TRUE(FileExists(home.File("\xe8\xa1\xa8.csv")));
    EXPECT_EQ(EntriesIn(home.Path()), 3);  // a.csv, b.csv and the one named in UTF-8
}

}  // namespace
