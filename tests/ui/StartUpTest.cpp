#include <QDialog>
#include <QDir>
#include <QWidget>

#include "Strings.h"
#include "resource.h"
#include "support/WindowTest.h"

namespace {

class StartUpTest : public WindowTest {};

// Without a pointer file the window opens stopped with its defaults, paths beside the executable.
TEST_F(StartUpTest, OpensStoppedWithDefaults) {
    Open();
    CSignalServerDlg& dialog = Dialog();
    EXPECT_TRUE(IsStopped());
    EXPECT_EQ(Text(dialog.m_editPort), "10003");
    for (int i = 0; i < kDiChannels; ++i) {
        EXPECT_EQ(Text(*dialog.m_diChannels[i].pName), "DI" + std::to_string(i + 1));
    }
    EXPECT_EQ(Text(dialog.m_editLogFile), folder.File("NR-QD8K.csv"));
    EXPECT_EQ(dialog.m_strSettingsFile, folder.File("NR-QD8K.qd"));
    EXPECT_EQ(dialog.m_strPointerFile, folder.File("NR-QD8K.ini"));
    EXPECT_EQ(Text(dialog.m_staticPeer), "");
    EXPECT_EQ(Text(dialog.m_staticVersion), "Version 1.02");
    EXPECT_EQ(Text(dialog), "NR-QD8K");
    EXPECT_FALSE(dialog.m_editTrace.IsWindowVisible());
    EXPECT_EQ(Trace(),
              std::string(kTextTraceBanner) + "cfg : " + folder.File("NR-QD8K.qd") + "\r\n");
}

}  // namespace
