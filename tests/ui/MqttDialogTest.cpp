#include "Strings.h"
#include "platform/ComputerName.h"
#include "platform/Cp932.h"
#include "resource.h"
#include "support/UnitClient.h"
#include "ui/MqttDlg.h"
#include "ui/MqttStateText.h"
#include "ui/support/WindowTest.h"

namespace {

std::string Utf8(const std::string& cp932) {
    return cp932::ToUtf8(cp932);
}

class MqttDialogTest : public WindowTest {
protected:
    void SetUp() override { Open(); }

    WndHandle* InDialog(int id) { return Dialog().m_pDlgMqtt->GetControl(id); }
    // Focus goes from the host down the form with Tab, which selects what an edit holds.
    void Tabs(int count, unsigned modifiers = op::kNoModifier) {
        for (int i = 0; i < count; ++i) op::Press(op::Focused(), op::kTab, modifiers);
    }
    void OpenDialog(std::function<void(WndHandle*)> act) {
        prompter.plannedMenuChoices.push_back(IDM_MQTT_SETTINGS);
        op::WithNextModal(std::move(act));
        op::RightClick(Control(IDC_STATIC_STATE));
    }
};

// The dialog shows what is set and how publishing stands; the password shows only as marks;
// OK keeps every field, and a save writes them after the ten lines.
TEST_F(MqttDialogTest, ShowsTheSettingsAndOkKeepsThem) {
    OpenDialog([&](WndHandle* dialog) {
        EXPECT_EQ(op::TextOf(dialog), Utf8(kTplMqttDialog));
        EXPECT_EQ(op::TextOf(InDialog(IDC_STATIC_MQTT_STATE)), Utf8(kTextMqttNotSet));
        EXPECT_TRUE(op::TextOf(InDialog(IDC_STATIC_MQTT_TOPIC_DEFAULT))
                        .ends_with(" nr-qd8k/" + Utf8(ComputerName()) + "/10003"));
        EXPECT_EQ(op::TextOf(InDialog(IDC_EDIT_MQTT_PORT)), "1883");
        op::Type(op::Focused(), "broker.lan");
        Tabs(1);
        op::Type(op::Focused(), "8883");
        Tabs(1);
        op::Type(op::Focused(), "ライン1/設備");
        Tabs(1);
        op::Type(op::Focused(), "ope");
        // Two passwords of one length look the same.
        WndHandle* password = InDialog(IDC_EDIT_MQTT_PASSWORD);
        Tabs(1);
        op::Type(password, "secret");
        Tabs(1);
        const op::Picture typed = op::Shot(password);
        Tabs(1, op::kShift);
        op::Type(password, "zzzzzz");
        Tabs(1);
        EXPECT_EQ(op::Shot(password).pixels, typed.pixels);
        Tabs(1, op::kShift);
        op::Type(password, "p#a ss=");
        Tabs(1);
        op::Press(op::Focused(), op::kSpace);
        op::Press(op::Focused(), op::kReturn);
    });
    const MqttSettings typed{"broker.lan", 8883,      cp932::FromUtf8("ライン1/設備").value(),
                             "ope",        "p#a ss=", true};
    EXPECT_EQ(Dialog().m_mqttSettings, typed);
    EXPECT_TRUE(prompter.messages.empty());
    prompter.plannedFiles.push_back(cp932::ToUtf8(folder.File("a.qd")));
    Dialog().OnSaveSettings();
    EXPECT_TRUE(
        ReadFileBytes(folder.File("a.qd"))
            .ends_with("#$MQTTHOST=broker.lan\r\n#$MQTTPORT=8883\r\n#$MQTTTOPIC=" + typed.topic +
                       "\r\n#$MQTTUSER=ope\r\n#$MQTTPASSWORD=p#a ss=\r\n"
                       "#$MQTTDISCOVERY=ON\r\n"));
}

// OK refuses, and leaves the dialog open, a value that would read back as another key, a prefix
// no topic may hold, and a port that is none; nothing is kept once the operator cancels.
TEST_F(MqttDialogTest, OkRefusesWhatCannotBeKeptOrPublished) {
    const struct {
        int tabs;  // from the host to the field
        const char* typed;
        const char* message;
    } cases[] = {
        {0, "broker#$PORT=1", kTextMqttHasMarker},
        {4, "x#$", kTextMqttHasMarker},
        {3, "#$MQTTHOST=a", kTextMqttHasMarker},
        {2, "line/+", kTextMqttTopicWildcard},
        {2, "line/#", kTextMqttTopicWildcard},
        {1, "0", kTextBadPort},
        {1, "65536", kTextBadPort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        OpenDialog([&](WndHandle*) {
            Tabs(c.tabs);
            op::Type(op::Focused(), c.typed);
            op::Press(op::Focused(), op::kReturn);
            EXPECT_EQ(prompter.TakeTexts(), Texts{c.message});
            EXPECT_NE(Dialog().m_pDlgMqtt, nullptr);
        });
        EXPECT_EQ(Dialog().m_mqttSettings, MqttSettings());
    }
}

// What the dialog and the unit list say of publishing, for each state.
TEST(MqttStateText, NamesTheStateAndCountsWhatWaits) {
    using enum PublisherStatus::Kind;
    const struct {
        PublisherStatus status;
        bool brokerSet;
        std::string shown;
    } cases[] = {
        {{kOff, 0, 0}, false, "未設定"},
        {{kOff, 0, 0}, true, "停止中"},
        {{kConnecting, 0, 0}, true, "接続中"},
        {{kConnected, 12, 0}, true, "接続済み"},
        {{kWaitingToReconnect, 3, 0}, true, "再接続待ち（未送信 3 件）"},
        {{kConnecting, 100000, 7}, true, "接続中（未送信 100000 件、破棄 7 件）"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8(MqttStateText(c.status, c.brokerSet)), c.shown);
    }
}

using MqttStateTest = ServingWindowTest;

// Settings taken while serving start publishing again at once; the unit list follows how it
// stands, reports waiting included, while the broker cannot be reached.
TEST_F(MqttStateTest, TheUnitListShowsWhatWaitsForTheBroker) {
    const int closedPort = FreePort();
    prompter.plannedMenuChoices.push_back(IDM_MQTT_SETTINGS);
    op::WithNextModal([&](WndHandle*) {
        op::Type(op::Focused(), "127.0.0.1");
        op::Press(op::Focused(), op::kTab);
        op::Type(op::Focused(), std::to_string(closedPort));
        op::Press(op::Focused(), op::kReturn);
    });
    op::RightClick(Control(IDC_STATIC_STATE));
    prompter.plannedMenuChoices.push_back(IDM_UNIT_LIST);
    op::RightClick(Control(IDC_STATIC_STATE));
    const std::string frame{'\x01', '\x05'};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(RunUnit(port, {{frame}}).reply, frame);
    CStatic& line = Dialog().m_dlgUnits.m_staticMqtt;
    EXPECT_TRUE(WaitUntil([&] {
        return Utf8(Text(line)) == "MQTT送信 : 再接続待ち（未送信 3 件）";
    })) << Utf8(Text(line));
}

}  // namespace
