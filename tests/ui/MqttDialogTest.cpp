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

class MqttDialogTest : public ServingWindowTest {
protected:
    WndHandle* InDialog(int id) { return Dialog().m_pDlgMqtt->GetControl(id); }
    // From the host down the form: each text typed, then Tab, which selects what an edit holds.
    void TypeFields(std::initializer_list<std::string> texts, unsigned modifiers = 0) {
        for (const std::string& text : texts) {
            op::Type(op::Focused(), text);
            op::Press(op::Focused(), op::kTab, modifiers);
        }
    }
    // As the operator opens it: the main window's context menu.
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
        EXPECT_TRUE(
            op::TextOf(InDialog(IDC_STATIC_MQTT_TOPIC_DEFAULT))
                .ends_with(" nr-qd8k/" + Utf8(ComputerName()) + "/" + std::to_string(port)));
        EXPECT_EQ(op::TextOf(InDialog(IDC_EDIT_MQTT_PORT)), "1883");
        TypeFields({"broker.lan", "8883", "ライン1/設備", "ope", "secret"});
        // Two passwords of one length look the same.
        WndHandle* password = InDialog(IDC_EDIT_MQTT_PASSWORD);
        const op::Picture typed = op::Shot(password);
        op::Press(op::Focused(), op::kTab, op::kShift);
        TypeFields({"zzzzzz"});
        EXPECT_EQ(op::Shot(password).pixels, typed.pixels);
        op::Press(op::Focused(), op::kTab, op::kShift);
        TypeFields({"p#a ss="});
        op::Press(op::Focused(), op::kSpace);
        op::Press(op::Focused(), op::kReturn);
    });
    const MqttSettings typed{"broker.lan", 8883,      cp932::FromUtf8("ライン1/設備").value(),
                             "ope",        "p#a ss=", true};
    EXPECT_EQ(Dialog().m_mqttSettings, typed);
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
        std::initializer_list<std::string> fields;  // from the host down
        const char* message;
    } cases[] = {
        {{"broker#$PORT=1"}, kTextMqttHasMarker},
        {{"", "", "", "", "x#$"}, kTextMqttHasMarker},
        {{"", "", "line/+"}, kTextMqttTopicWildcard},
        {{"", "", "a/#"}, kTextMqttTopicWildcard},
        {{"", "0"}, kTextBadPort},
    };
    for (const auto& c : cases) {
        OpenDialog([&](WndHandle*) {
            TypeFields(c.fields);
            op::Press(op::Focused(), op::kReturn);
            EXPECT_EQ(prompter.TakeTexts(), Texts{c.message});
        });
        EXPECT_EQ(Dialog().m_mqttSettings, MqttSettings());
    }
}

// Settings taken while serving start publishing again at once; the unit list follows how it
// stands, reports waiting included, while the broker cannot be reached.
TEST_F(MqttDialogTest, TheUnitListShowsWhatWaitsForTheBroker) {
    OpenDialog([&](WndHandle*) {
        TypeFields({"127.0.0.1", std::to_string(FreePort())});
        op::Press(op::Focused(), op::kReturn);
    });
    prompter.plannedMenuChoices.push_back(IDM_UNIT_LIST);
    op::RightClick(Control(IDC_STATIC_STATE));
    const std::string frame{'\x01', '\x05'};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(RunUnit(port, {{frame}}).reply, frame);
    CStatic& line = Dialog().m_dlgUnits.m_staticMqtt;
    EXPECT_TRUE(WaitUntil([&] {
        return Utf8(Text(line)) == "MQTT送信 : 再接続待ち（未送信 3 件）";
    })) << Utf8(Text(line));
    // New settings while serving keep what waits for the broker.
    OpenDialog([&](WndHandle*) {
        TypeFields({"localhost"});
        op::Press(op::Focused(), op::kReturn);
    });
    ASSERT_EQ(RunUnit(port, {{frame}}).reply, frame);
    EXPECT_TRUE(WaitUntil([&] { return Utf8(Text(line)).ends_with("（未送信 4 件）"); }))
        << Utf8(Text(line));
}

// The states the operator may see besides those above.
TEST(MqttStateText, NamesTheStateAndCountsWhatWaits) {
    using enum PublisherStatus::Kind;
    EXPECT_EQ(Utf8(MqttStateText({kOff, 0, 0}, true)), "停止中");
    EXPECT_EQ(Utf8(MqttStateText({kConnected, 12, 0}, true)), "接続済み");
    EXPECT_EQ(Utf8(MqttStateText({kConnecting, 100000, 7}, true)),
              "接続中（未送信 100000 件、破棄 7 件）");
}

}  // namespace
