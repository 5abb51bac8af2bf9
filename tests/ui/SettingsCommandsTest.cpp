#include "ProgramResources.h"
#include "Strings.h"
#include "platform/Cp932.h"
#include "resource.h"
#include "support/SystemFiles.h"
#include "support/UnitClient.h"
#include "ui/support/WindowTest.h"

#include <filesystem>

namespace {

class SettingsCommandsTest : public WindowTest {
protected:
    void SetName(int channel, const std::string& name) {
        Dialog().m_diChannels[channel].pName->SetWindowText(name);
    }
    std::string Name(int channel) { return Text(*Dialog().m_diChannels[channel].pName); }
    void SaveTo(const std::string& path) {
        prompter.plannedFiles.push_back(cp932::ToUtf8(path));
        Dialog().OnSaveSettings();
    }
    void LoadFrom(const std::string& path) {
        prompter.plannedFiles.push_back(cp932::ToUtf8(path));
        Dialog().OnLoadSettings();
    }
    bool Holds(const std::string& path, const std::string& part) {
        return ReadFileBytes(path).find(part) != std::string::npos;
    }
};

// Every setting byte for byte, the pointer file naming the file with no line end; after a
// restart everything is back, the server waiting on its port, the trace as read, and names the
// file brings do not ask for a header. A relative log path is kept as written and leads into
// the home folder. Title, names and paths hold characters whose second byte is '\', '|', 0x80
// or 0xA0, at their ends too.
TEST_F(SettingsCommandsTest, SettingsSurviveARestart) {
    Open();
    const std::string pump = "\x83\x7c\x83\x93\x83\x76\x95\x5c";  // ポンプ表
    const std::string title = "Line 1 = \x83\x80\x83\x5c";        // Line 1 = ムソ
    const std::string rows = "\x82\xa0\x83\x7c.csv";              // あポ.csv
    SetName(0, "Door");
    SetName(2, "");
    SetName(4, pump);
    Dialog().m_strTitle = title;
    Dialog().m_checkLogging.SetCheck(kChecked);
    Dialog().SetLogFile(rows);
    const int port = FreePort();
    StartServerOn(port);
    const std::string path = folder.File("\x95\x5c.qd");  // 表.qd
    SaveTo(path);
    EXPECT_EQ(ReadFileBytes(path),
              "#$TITLEBAR=" + title + "\r\n#$PORT=" + std::to_string(port) +
                  "\r\n#$DI1=Door\r\n#$DI2=DI2\r\n#$DI3=\r\n#$DI4=DI4\r\n#$DI5=" + pump +
                  "\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n#$LOGFILENAME=" + rows + "\r\n");
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), path);
    Close();

    WriteFileBytes(folder.File(rows), "old\r\n");
    Open();
    EXPECT_TRUE(IsWaiting());
    EXPECT_EQ(Text(Dialog().m_editPort), std::to_string(port));
    EXPECT_EQ(Name(0) + Name(2) + Name(4), "Door" + pump);
    EXPECT_EQ(Text(Dialog()), title);
    EXPECT_EQ(Dialog().m_checkLogging.GetCheck(), kChecked);
    EXPECT_EQ(Text(Dialog().m_editLogFile), folder.File(rows));
    // The start cleared the pane, so only what came after it remains.
    EXPECT_EQ(Trace(), "server start.\r\ncfg : " + path + "\r\n");
    EXPECT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(Count(ReadFileBytes(folder.File(rows)), "\r\n"), 2u) << "a row, no header";

    Dialog().m_checkLogging.SetCheck(kUnchecked);
    Dialog().OnButtonServer();
    Dialog().SaveSettings();
    EXPECT_TRUE(Holds(path, "#$LOGGING=OFF\r\n#$SERVER=STOP\r\n#$LOGFILENAME=" + rows + "\r\n"));
}

// A pointer file whose first line is empty names no file, a path with '%' is shown as it is,
// and a Windows path names no file here, not even one of that name in the home folder. A save
// to one makes no file (in silence), while the pointer keeps its bytes.
TEST_F(SettingsCommandsTest, OddPointerFiles) {
    const std::string windowsPath = "D:\\settings\\line1.qd";
    WriteFileBytes(folder.File(windowsPath), "#$PORT=1024\r\n");
    for (const std::string& named : {std::string(), folder.File("100%s%n.qd"), windowsPath}) {
        SCOPED_TRACE(named);
        Close();
        WriteFileBytes(folder.File("NR-QD8K.ini"), named.empty() ? "\r\nignored" : named);
        Open();
        EXPECT_TRUE(IsStopped());
        EXPECT_TRUE(Trace().ends_with(kTraceSettingsMissing + ("cfg : " + named + "\r\n")));
        EXPECT_EQ(Text(Dialog().m_editPort), "10003");
    }
    Dialog().SaveSettings();
    EXPECT_FALSE(FileExists(windowsPath));  // in the working folder
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), windowsPath);
}

// Bytes a widget cannot show exactly (a stray lead byte, a duplicate code), a path from Windows
// and the broker's keys (after the ten lines) go back as they came.
TEST_F(SettingsCommandsTest, ValuesKeepTheirBytesThroughLoadAndSave) {
    const std::string names = "#$DI1=ab\x81\r\n#$DI2=\x87\x9a\r\n";
    const std::string logFile = "#$LOGFILENAME=D:\\logs\\line1.csv\r\n";
    const std::string broker = "#$MQTTHOST=broker.lan\r\n#$MQTTPASSWORD=p\x83\x70ss\r\n";
    WriteFileBytes(folder.File("odd.qd"), broker + names + logFile);
    Open();
    LoadFrom(folder.File("odd.qd"));
    SaveTo(folder.File("copy.qd"));
    EXPECT_TRUE(Holds(folder.File("copy.qd"), names));
    EXPECT_TRUE(ReadFileBytes(folder.File("copy.qd")).ends_with(logFile + broker));
}

// "#$" in the title or a name is refused before any dialog; "#", "$" and "$#" are not.
TEST_F(SettingsCommandsTest, SaveRefusesTheKeyMarker) {
    Open();
    Dialog().m_strTitle = "A#$B";
    SetName(3, "x#$");
    Dialog().OnSaveSettings();
    Dialog().m_strTitle = "ok";
    Dialog().OnSaveSettings();
    EXPECT_EQ(prompter.TakeTexts(), (Texts{kTextTitleHasMarker, kTextNameHasMarker}));
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_FALSE(FileExists(folder.File("NR-QD8K.ini")));

    SetName(3, "$#");
    Dialog().m_strTitle = "#";
    SaveTo(folder.File("ok.qd"));
    EXPECT_EQ(prompter.TakeTexts(), Texts{});
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
    EXPECT_TRUE(IsWaiting());
    EXPECT_EQ(Dialog().m_strSettingsFile, folder.File("NR-QD8K.qd"));
    EXPECT_FALSE(FileExists(folder.File("NR-QD8K.ini")));

    const int newPort = FreePort();
    const std::string start =
        "#$PORT=" + std::to_string(newPort) +
        "\r\n#$DI2=Fan\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n#$LOGFILENAME=rows.csv";
    WriteFileBytes(folder.File("start.qd"), start);
    WriteFileBytes(folder.File("rows.csv"), "old\r\n");
    for (int round = 0; round < 2; ++round) {
        LoadFrom(folder.File("start.qd"));
        EXPECT_TRUE(IsWaiting());
        EXPECT_EQ(Exchange(newPort, "\x01\x15"), "\x01\x15");
    }
    EXPECT_FALSE(IdleUnit(oldPort).Connected());
    // Names a file brings ask for no header.
    EXPECT_EQ(Count(ReadFileBytes(folder.File("rows.csv")), "\r\n"), 3u);

    const std::string stop = "#$PORT=20000\r\n#$DI1=Door\r\n#$SERVER=STOP\r\n";
    WriteFileBytes(folder.File("stop.qd"), stop);
    LoadFrom(folder.File("stop.qd"));
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(Text(Dialog().m_editPort), "20000");
    EXPECT_EQ(Name(0), "Door");
    EXPECT_EQ(Count(Trace(), kTraceSettingsFound + ("----------\r\n" + stop + "----------\r\n")),
              1u);

    StartServerOn(newPort);
    LoadFrom(folder.File("missing.qd"));
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(Count(Trace(), kTraceSettingsMissing), 1u);
    EXPECT_EQ(Dialog().m_strSettingsFile, folder.File("missing.qd"));
    EXPECT_EQ(Text(Dialog().m_editPort), std::to_string(newPort));
    EXPECT_TRUE(prompter.messages.empty());
}

// A chosen path CP932 cannot name is refused with a message, never saved under a guessed name.
// A save that cannot be written whole is reported; one whose file cannot be created at all
// stays silent, the pointer still written. Write-protected files are not opened, so left as
// they are, without a word.
TEST_F(SettingsCommandsTest, FailedSavesKeepWhatWasThere) {
    AfxSetAppResources(ProgramResources());  // as start-up does
    Open();
    prompter.plannedFiles.push_back(cp932::ToUtf8(folder.File("caf")) + "\xC3\xA9.qd");  // é
    Dialog().OnSaveSettings();
    EXPECT_EQ(prompter.TakeTexts(), Texts{kTextPathNotCp932});
    EXPECT_EQ(EntriesIn(folder.Path()), 0);
    if (!FullDiskPath().empty()) {
        SaveTo(FullDiskPath());
        EXPECT_EQ(prompter.TakeTexts(), Texts{kTextSettingsWriteFailed});
    }

    std::string unreachable = folder.File("no/such/folder/a.qd");
    SaveTo(unreachable);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), unreachable);

    AsOrdinaryUser user(folder);
    std::filesystem::remove(FileSystemPath(folder.File("NR-QD8K.ini")));
    for (const char* name : {"protected.qd", "NR-QD8K.ini"}) {
        WriteFileBytes(folder.File(name), "old");
        ASSERT_TRUE(MakeReadOnly(folder.File(name)));
    }
    SaveTo(folder.File("protected.qd"));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ReadFileBytes(folder.File("protected.qd")), "old");
    EXPECT_EQ(ReadFileBytes(folder.File("NR-QD8K.ini")), "old");
}

}  // namespace
