#include "resource.h"
#include "ui/support/WindowTest.h"

namespace {

class WindowBehaviourTest : public WindowTest {
protected:
    void SetUp() override {
        Open();
        ASSERT_TRUE(op::Activate(Window()));
    }
};

// Enter neither ends the window nor presses a button; Escape ends it.
TEST_F(WindowBehaviourTest, EnterIsIgnoredAndEscapeEnds) {
    for (int id : {IDC_EDIT_PORT, IDC_EDIT_DI1, IDC_BUTTON_SERVER, IDC_BUTTON_SAVE}) {
        SCOPED_TRACE(id);
        op::Focus(Control(id));
        op::Press(Control(id), op::kReturn);
        op::Press(Control(id), op::kEnter);
        EXPECT_TRUE(Dialog().IsWindowVisible());
        EXPECT_TRUE(IsStopped());
        EXPECT_TRUE(prompter.fileRequests.empty());
    }
    op::Press(op::Focused(), op::kEscape);
    EXPECT_FALSE(Dialog().IsWindowVisible());
}

// Mnemonics act at once, each file command asking its own dialog and the port label's focusing
// the port edit: with Alt from anywhere, and alone where the focus is on a button or the check
// box. An edit, even a read-only one, takes the letter as typing.
TEST_F(WindowBehaviourTest, MnemonicsWork) {
    const std::pair<char, std::string> commands[] = {
        {'L', "open qd " + folder.File("NR-QD8K.qd")},
        {'A', "save qd " + folder.File("NR-QD8K.qd")},
        {'B', "save csv " + folder.File("NR-QD8K.csv")},
    };
    struct From {
        int focus;
        unsigned modifiers;
        bool acts;
    } froms[] = {
        {IDC_EDIT_DI1, op::kAlt, true},
        {IDC_BUTTON_TITLE, op::kNoModifier, true},
        {IDC_EDIT_DI1, op::kNoModifier, false},
        {IDC_EDIT_LOGFILE, op::kNoModifier, false},  // read-only
    };
    const auto press = [&](const From& from, char key) {
        op::Focus(Control(from.focus));
        prompter.fileRequests.clear();
        op::Press(op::Focused(), key, from.modifiers);
        op::ServeEvents(20);
    };
    for (const From& from : froms) {
        SCOPED_TRACE(from.focus);
        for (const auto& [key, request] : commands) {
            SCOPED_TRACE(key);
            press(from, key);
            ASSERT_EQ(prompter.fileRequests.size(), from.acts ? 1u : 0u);
            if (!from.acts) continue;
            const FileDialogRequest& asked = prompter.fileRequests[0];
            EXPECT_EQ(
                (asked.save ? "save " : "open ") + asked.defaultExtension + " " + asked.initialPath,
                request);
        }
        press(from, 'P');
        EXPECT_EQ(op::Focused() == Control(IDC_EDIT_PORT), from.acts);
    }
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1labp");

    // Each press is one click, however quick: the port edit greys and comes back at each.
    Dialog().m_editPort.SetWindowText(std::to_string(FreePort()));
    for (int i = 0; i < 3; ++i) {
        op::Press(op::Focused(), 'S', op::kAlt);
        // A stop is done once the worker has ended.
        EXPECT_TRUE(WaitUntil([&] {
            return Dialog().m_editPort.IsWindowEnabled() == (i % 2 == 1);
        })) << i;
    }
    EXPECT_TRUE(WaitUntil([&] { return IsWaiting(); }));
    op::Press(op::Focused(), 'S');  // alone, from the button the last press focused
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
}

// Typing: at most 20 CP932 bytes per name, no character CP932 lacks, digits only for the port.
// Words an input method converts go in once each, as far as they fit. Characters whose second
// byte is '\', '|', 0x80 or 0xA0 are characters like any other.
TEST_F(WindowBehaviourTest, EditsTakeOnlyWhatTheyCanHold) {
    CWnd& name = Dialog().m_editDiName[4];
    name.SetWindowText("");
    op::Compose(name.GetSafeHwnd(), "表ソ");
    op::Type(name.GetSafeHwnd(), "ムあポ表ソム");
    op::Compose(name.GetSafeHwnd(), "あポ表");
    EXPECT_EQ(Text(name),
              "\x95\x5c\x83\x5c\x83\x80\x82\xa0\x83\x7c\x95\x5c\x83\x5c\x83\x80\x82\xa0\x83\x7c");
    name.SetWindowText("");
    op::Type(name.GetSafeHwnd(), "a😀한b");
    EXPECT_EQ(Text(name), "ab");
    // What an input method types for the wave dash and its kin goes in as CP932 holds it.
    name.SetWindowText("");
    op::Type(name.GetSafeHwnd(), "〜−—‖");
    EXPECT_EQ(Text(name), "\x81\x60\x81\x7c\x81\x5c\x81\x61");
    // A paste takes what fits, up to a whole character.
    name.SetWindowText("DI1");
    op::CopyToClipboard("abcdefghijklmnop停止");
    op::Press(name.GetSafeHwnd(), 'V', op::kControl);
    EXPECT_EQ(Text(name), "DI1abcdefghijklmnop");

    Dialog().m_editPort.SetWindowText("");
    op::Type(Control(IDC_EDIT_PORT), "1x0 2-4");
    EXPECT_EQ(Text(Dialog().m_editPort), "1024");
}

// The pane keeps the first 255 bytes of a long text, never half a character, and stays bounded.
TEST_F(WindowBehaviourTest, TraceIsCutAndBounded) {
    Dialog().m_editTrace.SetWindowText("");
    Dialog().AppendTrace("%s", std::string(300, 'a').c_str());
    EXPECT_EQ(Trace(), std::string(255, 'a'));
    Dialog().m_editTrace.SetWindowText("");
    Dialog().AppendTrace("a%s", std::string(300, '\x88').c_str());
    EXPECT_EQ(Trace(), "a" + std::string(254, '\x88'));
    for (int i = 0; i < 10000; ++i) Dialog().AppendTrace("select.\r\n");
    EXPECT_LE(Trace().size(), CEdit::kMaxPaneBytes);
    EXPECT_TRUE(Trace().starts_with("select.\r\n"));
}

}  // namespace
