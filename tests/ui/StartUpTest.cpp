#include "Strings.h"
#include "support/ConnectedAddresses.h"
#include "support/FakeInterfaceTables.h"
#include "ui/support/WindowTest.h"

#include <gmock/gmock.h>

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
    EXPECT_TRUE(op::HasIcon(Window()));
    EXPECT_FALSE(dialog.m_editTrace.IsWindowVisible());
    EXPECT_EQ(Trace(),
              std::string(kTextTraceBanner) + "cfg : " + folder.File("NR-QD8K.qd") + "\r\n");
}

// The line shows the first listed address, or says there is none. From the system's own tables
// it is an address the system lists for a connected interface, read here by other means.
TEST_F(StartUpTest, LocalAddressLineShowsTheFirstAdapter) {
    const std::string label = "\x8c\xbb\x8d\xdd\x82\xccIP\x83\x41\x83h\x83\x8c\x83X : ";
    const std::string none = "(\x82\xc8\x82\xb5)";
    FakeInterfaceTables tables;
    for (const std::string& shown : {none, std::string("192.168.0.10")}) {
        SCOPED_TRACE(shown);
        InterfaceTablesInPlace inPlace(tables);
        Open();
        EXPECT_EQ(Text(Dialog().m_staticLocalAddr), label + shown);
        Close();
        tables.AddInterface(7, "eth0");
        tables.AddAddress(7, Ip(192, 168, 0, 10), Ip(255, 255, 255, 0));
        tables.AddAddress(7, Ip(10, 0, 0, 1));
    }
    Open();
    const std::vector<std::string> connected = ConnectedAddresses();
    EXPECT_THAT(connected.empty() ? std::vector{none} : connected,
                testing::Contains(Text(Dialog().m_staticLocalAddr).substr(label.size())));
}

}  // namespace
