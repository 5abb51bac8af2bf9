#include "ProgramResources.h"
#include "Strings.h"
#include "ui/support/WindowTest.h"

namespace {

using CFileDialogTest = WindowTest;

// A chosen path CP932 cannot name is refused with a message, never saved under a guessed name.
TEST_F(CFileDialogTest, RefusesAPathCp932CannotName) {
    AfxSetAppResources(ProgramResources());  // as start-up does
    Open();
    std::string path = folder.File("caf\xC3\xA9.qd");  // "é" has no CP932 code
    prompter.plannedFiles.push_back(path);
    Dialog().OnSaveSettings();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "NR-QD8K");
    EXPECT_EQ(prompter.messages[0].text, kTextPathNotCp932);
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(FileExists(folder.File("NR-QD8K.ini")));
}

}  // namespace
