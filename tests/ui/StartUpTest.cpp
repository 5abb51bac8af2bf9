#include "Strings.h"
#include "app/SignalServerApp.h"
#include "platform/HomeFolder.h"
#include "support/FakeInterfaceTables.h"
#include "support/WindowTest.h"

#include <QDialog>

#include <sys/stat.h>

#include <filesystem>

namespace {

class StartUpTest : public WindowTest {};

// Without a pointer file the window opens stopped with its defaults, paths beside the executable.
TEST_F(StartUpTest, OpensStoppedWithDefaults) {
    Open();
    CSignalServerDlg& dialog = Dialog();
    EXPECT_TRUE(IsStopped());
    EXPECT_EQ(Text(dialog.m_editPort), "10003");
    std::string names;
    for (auto& channel : dialog.m_diChannels) names += Text(*channel.pName) + " ";
    EXPECT_EQ(names, "DI1 DI2 DI3 DI4 DI5 ");
    EXPECT_EQ(Text(dialog.m_editLogFile), folder.File("NR-QD8K.csv"));
    EXPECT_EQ(Text(dialog.m_staticPeer), "");
    EXPECT_EQ(Text(dialog.m_staticVersion), "Version 1.02");
    EXPECT_EQ(Text(dialog), "NR-QD8K");
    EXPECT_FALSE(QtDialog(dialog)->windowIcon().isNull());
    EXPECT_FALSE(dialog.m_editTrace.IsWindowVisible());
    EXPECT_EQ(Trace(),
              std::string(kTextTraceBanner) + "cfg : " + folder.File("NR-QD8K.qd") + "\r\n");
}

// The line shows the first listed address, or says there is none.
TEST_F(StartUpTest, LocalAddressLineShowsTheFirstAdapter) {
    const std::string label = "\x8c\xbb\x8d\xdd\x82\xccIP\x83\x41\x83h\x83\x8c\x83X : ";
    FakeInterfaceTables tables;
    for (const char* shown : {"(\x82\xc8\x82\xb5)", "192.168.0.10"}) {
        SCOPED_TRACE(shown);
        InterfaceTablesInPlace inPlace(tables);
        Open();
        EXPECT_EQ(Text(Dialog().m_staticLocalAddr), label + shown);
        Close();
        tables.AddInterface(7, "eth0");
        tables.AddAddress(7, Ip(192, 168, 0, 10), Ip(255, 255, 255, 0));
        tables.AddAddress(7, Ip(10, 0, 0, 1));
    }
}

// Beside an executable whose folder cannot be written, the files live in the per-user data
// folder, made on first use: $XDG_DATA_HOME/NR-QD8K, or ~/.local/share/NR-QD8K when that
// variable is not an absolute path. Without a home folder it can name, make and write, or
// without a name of its own, the program does not start, and says what is wrong.
TEST_F(StartUpTest, FindsItsHomeFolderOrSaysWhyNot) {
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
        prompter.messages.clear();
        EXPECT_FALSE(CSignalServerApp().InitInstance());
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, c.message);
    }
}

}  // namespace
