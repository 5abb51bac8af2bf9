#include "Strings.h"
#include "app/SignalServerApp.h"
#include "platform/Cp932.h"
#include "platform/HomeFolder.h"
#include "support/SystemFiles.h"
#include "support/posix/Environment.h"
#include "ui/support/WindowTest.h"

#include <sys/stat.h>

#include <filesystem>

namespace {

class HomeFolderTest : public WindowTest {};

// Beside an executable whose folder cannot be written, the files live in the per-user data
// folder, made on first use: $XDG_DATA_HOME/NR-QD8K, or $HOME/.local/share/NR-QD8K when that
// variable is empty or not an absolute path; trailing slashes change nothing. Without a home
// folder it can name, make and write, or without a name of its own, the program does not start,
// and says what is wrong.
TEST_F(HomeFolderTest, FindsItsHomeFolderOrSaysWhyNot) {
    const std::string notCp932 = "\xed\x95\x9c";                // a Hangul syllable
    const std::string at = cp932::ToUtf8(folder.Path()) + "/";  // as the system names it
    const std::string readOnly = at + "bin/NR-QD8K";
    ASSERT_EQ(::mkdir((at + "bin").c_str(), 0555), 0);
    std::filesystem::create_directory(at + notCp932);
    std::filesystem::permissions(at + notCp932, std::filesystem::perms::all);
    WriteFileBytes(folder.File("file"), "");
    struct Case {
        std::optional<std::string> executable;
        std::string dataHome, home, found, message;
    } cases[] = {
        {readOnly, at + "data//", at, folder.File("data/NR-QD8K"), ""},
        {readOnly, "relative", at + "home//", folder.File("home/.local/share/NR-QD8K"), ""},
        {readOnly, "", "", "", kTextDataDirUnusable + std::string("~/.local/share/NR-QD8K")},
        {std::nullopt, at + "data", at, "", kTextExePathUnreadable},
        {at + "NR-QD8K" + notCp932, at + "data", at, "", kTextExeNameNotCp932},
        {at + notCp932 + "/NR-QD8K", at + "data", at, "", kTextExeDirNotCp932},
        {readOnly, at + notCp932, at, "", kTextDataDirNotCp932},
        {readOnly, at + "file", at, "", kTextDataDirUnusable + folder.File("file/NR-QD8K")},
    };
    AsOrdinaryUser user(folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataHome + " " + c.home + c.message);
        module.path = c.executable;
        ScopedEnvironment dataHome("XDG_DATA_HOME", c.dataHome);
        ScopedEnvironment home("HOME", c.home);
        if (c.message.empty()) {
            EXPECT_EQ(FindHomeFolder(module, "NR-QD8K").path, c.found);
            struct stat made {};
            EXPECT_EQ(::stat(FileSystemPath(c.found).c_str(), &made), 0);
            EXPECT_EQ(made.st_mode & 07777, 0700u) << "private to its user";
            continue;
        }
        EXPECT_FALSE(CSignalServerApp().InitInstance());
        EXPECT_EQ(prompter.TakeTexts(), Texts{c.message});
    }
}

}  // namespace
