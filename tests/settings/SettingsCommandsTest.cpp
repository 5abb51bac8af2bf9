#include "Strings.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The ten lines in their order, each ending in CR LF.
const std::string kSavedSettings =
    "#$TITLEBAR=NR-QD8K\r\n#$PORT=10003\r\n#$DI1=Door\r\n#$DI2=Window\r\n#$DI3=DI3\r\n"
    "#$DI4=DI4\r\n#$DI5=Pump\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n"
    "#$LOGFILENAME=D:\\logs\\line1.csv\r\n";

class SettingsCommandsTest : public WindowTest {
protected:
    void SetName(int channel, const std::string& name) {
        Dialog().m_diChannels[channel].pName->SetWindowText(name);
    }
    std::string Name(int channel) { return Text(*Dialog().m_diChannels[channel].pName); }
    void SaveTo(const std::string& path) {
        prompter.plannedFiles.push_back(path);
        Dialog().OnSaveSettings();
    }
    void LoadFrom(const std::string& path) {
        prompter.plannedFiles.push_back(path);
        Dialog().OnLoadSettings();
    }
    std::string SettingsFile(const std::string& port, const char* server) {
        return "#$PORT=" + port + "\r\n#$DI1=Door\r\n#$SERVER=" + server + "\r\n";
    }
};

// Every setting byte for byte, and the pointer file naming the file with no line end.
TEST_F(SettingsCommandsTest, SaveWritesTheTenLinesAndThePointer) {
    Open();
    SetName(0, "Door");
    SetName(1, "Window");
    SetName(4, "Pump");
    Dialog().m_checkLogging.SetCheck(BST_CHECKED);
    Dialog().m_strLogFile = "D:\\logs\\line1.csv";
    Dialog().m_editPort.SetWindowText("10003");
    int port = FreePort();
    StartServerOn(port);
    Dialog().m_editPort.SetWindowText("10003");  // what the file records is the edit's text

    std::string path = folder.File("line1.qd");
    SaveTo(path);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    const FileDialogRequest& request = prompter.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.defaultExtension, "qd");
    EXPECT_EQ(request.initialPath, folder.File("NR-QD8K.qd"));
    EXPECT_EQ(ReadFileBytes(path), kSavedSettings);
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), path);
    EXPECT_EQ(Dialog().m_strSettingsFile, path);

    Dialog().m_checkLogging.SetCheck(BST_UNCHECKED);
    Dialog().OnButtonServer();
    SaveTo(path);
    EXPECT_NE(ReadFileBytes(path).find("#$LOGGING=OFF\r\n#$SERVER=STOP\r\n"), std::string::npos);
}

// Save, quit, start again: everything is back, the server waiting on its port, the trace as
// read; names the file brings do not ask for a header.
TEST_F(SettingsCommandsTest, SettingsSurviveARestart) {
    Open();
    const std::string pump = "\x83\x7c\x83\x93\x83\x76";  // ポンプ
    SetName(2, pump);
    SetName(3, "");
    Dialog().m_strTitle = "Line 1 = A ";
    Dialog().m_checkLogging.SetCheck(BST_CHECKED);
    int port = FreePort();
    StartServerOn(port);
    SaveTo(folder.File("line.qd"));
    Close();

    Open();
    EXPECT_TRUE(IsWaiting());
    EXPECT_FALSE(Dialog().m_editPort.IsWindowEnabled());
    EXPECT_EQ(Text(Dialog().m_editPort), std::to_string(port));
    EXPECT_EQ(Name(2), pump);
    EXPECT_EQ(Name(3), "");
    EXPECT_EQ(Text(Dialog()), "Line 1 = A ");
    EXPECT_EQ(Dialog().m_checkLogging.GetCheck(), BST_CHECKED);
    // The start cleared the pane, so only what came after it remains.
    EXPECT_EQ(Trace(), "server start.\r\ncfg : " + folder.File("line.qd") + "\r\n");
    EXPECT_FALSE(Dialog().m_bLogHeaderPending);
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
}

// Relative paths in the pointer and settings files lead into the home folder, and a save
// keeps them as they were written.
TEST_F(SettingsCommandsTest, RelativePathsAreInTheHomeFolder) {
    int port = FreePort();
    const std::string file = "#$PORT=" + std::to_string(port) +
                             "\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n#$LOGFILENAME=rows.csv\r\n";
    WriteFileBytes(folder.File("line1.qd"), file);
    WriteFileBytes(folder.File("NR-QD8K.ini"), "line1.qd");
    Open();
    EXPECT_TRUE(IsWaiting());
    EXPECT_EQ(Text(Dialog().m_editLogFile), folder.File("rows.csv"));
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_TRUE(FileExists(folder.File("rows.csv")));
    Dialog().SaveSettings();
    EXPECT_NE(ReadFileBytes(folder.File("line1.qd")).find("#$LOGFILENAME=rows.csv\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), "line1.qd");
}

// A pointer file whose first line is empty names no file, a path with '%' is shown as it is,
// and a Windows path names no file here, not even one of that name in the home folder. A save
// to one is a file that cannot be made (silent), while the pointer keeps its bytes.
TEST_F(SettingsCommandsTest, OddPointerFiles) {
    const std::string windowsPath = "D:\\settings\\line1.qd";
    WriteFileBytes(folder.File(windowsPath), "#$PORT=1024\r\n");
    const std::string missing = kTraceSettingsMissing;
    struct Case {
        std::string pointer, traceEnd;
    } cases[] = {
        {"\r\nignored", missing + "cfg : \r\n"},
        {folder.File("100%s%n.qd"), missing + "cfg : " + folder.File("100%s%n.qd") + "\r\n"},
        {windowsPath, missing + "cfg : " + windowsPath + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pointer);
        Close();
        WriteFileBytes(folder.File("NR-QD8K.ini"), c.pointer);
        Open();
        EXPECT_TRUE(IsStopped());
        EXPECT_TRUE(Trace().ends_with(c.traceEnd)) << Trace();
        EXPECT_EQ(Text(Dialog().m_editPort), "10003");
    }
    Dialog().SaveSettings();
    EXPECT_FALSE(FileExists(windowsPath));  // in the working folder
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), windowsPath);
    SaveTo(folder.File(windowsPath));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ReadFileBytes(folder.File(windowsPath)), "#$PORT=1024\r\n");
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), folder.File(windowsPath));
}

// Bytes a widget cannot show exactly (a stray lead byte, a duplicate code) go back as they came.
TEST_F(SettingsCommandsTest, NamesKeepTheirBytesThroughLoadAndSave) {
    const std::string odd = "#$DI1=ab\x81\r\n#$DI2=\x87\x9a\r\n";
    WriteFileBytes(folder.File("odd.qd"), odd);
    Open();
    LoadFrom(folder.File("odd.qd"));
    SaveTo(folder.File("odd.qd"));
    EXPECT_NE(ReadFileBytes(folder.File("odd.qd")).find(odd), std::string::npos);
}

// "#$" in the title or a name is refused before any dialog; "#", "$" and "$#" are not.
TEST_F(SettingsCommandsTest, SaveRefusesTheKeyMarker) {
    Open();
    Dialog().m_strTitle = "A#$B";
    SetName(3, "x#$");
    Dialog().OnSaveSettings();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTextTitleHasMarker);
    Dialog().m_strTitle = "ok";
    Dialog().OnSaveSettings();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, kTextNameHasMarker);
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_FALSE(FileExists(folder.File("NR-QD8K.ini")));

    SetName(3, "$#");
    Dialog().m_strTitle = "#";
    SaveTo(folder.File("ok.qd"));
    EXPECT_EQ(prompter.messages.size(), 2u);
    EXPECT_TRUE(ReadFileBytes(folder.File("ok.qd")).starts_with("#$TITLEBAR=#\r\n"));
}

// Loading stops the server first and starts it again, on the loaded port, when the file says so
// (the same port too: the old socket is closed before the new one binds); a file saying STOP, or
// none at all, leaves it stopped. Cancelled dialogs change nothing.
TEST_F(SettingsCommandsTest, LoadStopsAndStartsAsTheFileSays) {
    Open();
    const int oldPort = FreePort();
    StartServerOn(oldPort);
    Dialog().OnSaveSettings();
    Dialog().OnLoadSettings();
    EXPECT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_EQ(Dialog().m_strSettingsFile, folder.File("NR-QD8K.qd"));
    EXPECT_FALSE(FileExists(folder.File("NR-QD8K.ini")));

    const int newPort = FreePort();
    WriteFileBytes(folder.File("start.qd"), SettingsFile(std::to_string(newPort), "START"));
    for (int round = 0; round < 2; ++round) {
        LoadFrom(folder.File("start.qd"));
        EXPECT_TRUE(IsWaiting());
        EXPECT_EQ(Exchange(newPort, "\x01\x15"), "\x01\x15");
    }
    EXPECT_EQ(Name(0), "Door");
    EXPECT_FALSE(IdleUnit(oldPort).Connected());
    EXPECT_FALSE(Dialog().m_bLogHeaderPending);
    EXPECT_TRUE(Dialog().m_bReady);

    WriteFileBytes(folder.File("stop.qd"), SettingsFile("20000", "STOP"));
    LoadFrom(folder.File("stop.qd"));
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(Text(Dialog().m_editPort), "20000");
    EXPECT_NE(
        Trace().find(std::string(kTraceSettingsFound) +
                     "----------\r\n#$PORT=20000\r\n#$DI1=Door\r\n#$SERVER=STOP\r\n----------\r\n"),
        std::string::npos);

    StartServerOn(newPort);
    const std::string missing = folder.File("missing.qd");
    LoadFrom(missing);
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_NE(Trace().find(kTraceSettingsMissing), std::string::npos);
    EXPECT_EQ(Dialog().m_strSettingsFile, missing);
    EXPECT_EQ(Text(Dialog().m_editPort), std::to_string(newPort));
    EXPECT_TRUE(prompter.messages.empty());
}

// A save that cannot be written whole is reported and keeps what was there; one whose file
// cannot be created at all stays silent, the pointer still written. Write-protected files are
// not opened, so left as they are, without a word.
TEST_F(SettingsCommandsTest, FailedSavesKeepWhatWasThere) {
    Open();
    SaveTo("/dev/full");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTextSettingsWriteFailed);

    prompter.messages.clear();
    std::string unreachable = folder.File("no/such/folder/a.qd");
    SaveTo(unreachable);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), unreachable);

    AsOrdinaryUser user(folder);
    ::unlink(folder.File("NR-QD8K.ini").c_str());
    for (const char* name : {"protected.qd", "NR-QD8K.ini"}) {
        WriteFileBytes(folder.File(name), "old");
        ASSERT_EQ(::chmod(folder.File(name).c_str(), 0444), 0);
    }
    SaveTo(folder.File("protected.qd"));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ReadFileBytes(folder.File("protected.qd")), "old");
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), "old");
}

}  // namespace
