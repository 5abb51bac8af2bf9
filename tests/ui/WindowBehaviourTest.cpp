#include "resource.h"
#include "support/WindowTest.h"

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

// Mnemonics reach their buttons (which click a moment later, as they show the press), each file
// command asking its own dialog; the port label's focuses the port edit.
TEST_F(WindowBehaviourTest, MnemonicsWork) {
    struct Case {
        char key;
        bool save;
        std::string extension, initialName;
    } cases[] = {
        {'L', false, "qd", "NR-QD8K.qd"},
        {'A', true, "qd", "NR-QD8K.qd"},
        {'B', true, "csv", "NR-QD8K.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        prompter.fileRequests.clear();
        op::Press(op::Focused(), c.key, op::kAlt);
        ASSERT_TRUE(WaitUntil([&] { return prompter.fileRequests.size() == 1; }));
        EXPECT_EQ(prompter.fileRequests[0].save, c.save);
        EXPECT_EQ(prompter.fileRequests[0].defaultExtension, c.extension);
        EXPECT_EQ(prompter.fileRequests[0].initialPath, folder.File(c.initialName));
    }
    op::Press(op::Focused(), 'P', op::kAlt);
    EXPECT_EQ(op::Focused(), Control(IDC_EDIT_PORT));
    Dialog().m_editPort.SetWindowText(std::to_string(FreePort()));
    op::Press(op::Focused(), 'S', op::kAlt);
    EXPECT_TRUE(WaitUntil([&] { return IsWaiting(); }));
    op::Press(op::Focused(), 'S', op::kAlt);
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
}

// Typing: at most 20 CP932 bytes per name, no character CP932 lacks, digits only for the port.
TEST_F(WindowBehaviourTest, EditsTakeOnlyWhatTheyCanHold) {
    const std::string stopped = "\x92\xe2\x8e\x7e\x92\x86";  // 停止中
    CWnd& name = Dialog().m_editDiName[4];
    name.SetWindowText("");
    op::Type(name.GetSafeHwnd(), "停止中停止中停止中停止中");
    EXPECT_EQ(Text(name), stopped + stopped + stopped + "\x92\xe2");
    name.SetWindowText("");
    op::Type(name.GetSafeHwnd(), "a😀한b");
    EXPECT_EQ(Text(name), "ab");
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
