#include "Strings.h"
#include "app/SignalServerApp.h"
#include "platform/HomeFolder.h"
#include "support/SystemFiles.h"
#include "support/posix/Environment.h"
#include "ui/support/WindowTest.h"

#include <sys/stat.h>

#include <filesystem>

namespace {

class HomeFolderTest : public WindowTest {};

// Beside an executable whose folder cannot be written, the files live in the per-user data
// folder, made on first use: $XDG_DATA_HOME/NR-QD8K, or ~/.local/share/NR-QD8K when that
// variable is not an absolute path. Without a home folder it can name, make and write, or
// without a name of its own, the program does not start, and says what is wrong.
TEST_F(HomeFolderTest, FindsItsHomeFolderOrSaysWhyNot) {
    const std::string notCp932 = "\xed\x95\x9c";  // a Hangul syllable
    const std::string readOnly = folder.File("bin/NR-QD8K");
    ASSERT_EQ(::mkdir(folder.File("bin").c_str(), 0555), 0);
    std::filesystem::create_directory(folder.File(notCp932));
    std::filesystem::permissions(folder.File(notCp932), std::filesystem::perms::all);
    WriteFileBytes(folder.File("file"), "");
    ScopedEnvironment home("HOME", folder.File("home"));
    struct Case {
        std::optional<std::string> executable;
        std::string dataHome, found, message;
    } cases[] = {
        {readOnly, folder.File("data"), folder.File("data/NR-QD8K"), ""},
        {readOnly, "relative", folder.File("home/.local/share/NR-QD8K"), ""},
        {std::nullopt, folder.File("data"), "", kTextExePathUnreadable},
        {folder.File("NR-QD8K" + notCp932), folder.File("data"), "", kTextExeNameNotCp932},
        {folder.File(notCp932 + "/NR-QD8K"), folder.File("data"), "", kTextExeDirNotCp932},
        {readOnly, folder.File(notCp932), "", kTextDataDirNotCp932},
        {readOnly, folder.File("file"), "", kTextDataDirUnusable + folder.File("file/NR-QD8K")},
    };
    AsOrdinaryUser user(folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataHome + c.message);
        module.path = c.executable;
        ScopedEnvironment dataHome("XDG_DATA_HOME", c.dataHome);
        if (c.message.empty()) {
            EXPECT_EQ(FindHomeFolder(module, "NR-QD8K").path, c.found);
            struct stat made {};
            EXPECT_EQ(::stat(c.found.c_str(), &made), 0);
            EXPECT_EQ(made.st_mode & 07777, 0700u) << "private to its user";
            continue;
        }
        EXPECT_FALSE(CSignalServerApp().InitInstance());
        EXPECT_EQ(prompter.TakeTexts(), Texts{c.message});
    }
}

}  // namespace
