#include "resource.h"
#include "support/Typing.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace {

class WindowBehaviourTest : public WindowTest {
protected:
    void SetUp() override {
        Open();
        window = QtDialog(Dialog());
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    QDialog* window = nullptr;
};

// Enter neither ends the window nor presses a button; Escape ends it.
TEST_F(WindowBehaviourTest, EnterIsIgnoredAndEscapeEnds) {
    for (int id : {IDC_EDIT_PORT, IDC_EDIT_DI1, IDC_BUTTON_SERVER, IDC_BUTTON_SAVE}) {
        SCOPED_TRACE(id);
        Control(id)->setFocus();
        QTest::keyClick(Control(id), Qt::Key_Return);
        QTest::keyClick(Control(id), Qt::Key_Enter);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(IsStopped());
        EXPECT_TRUE(prompter.fileRequests.empty());
    }
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), IDCANCEL);
}

// Mnemonics act at once, each file command asking its own dialog and the port label's focusing
// the port edit: with Alt from anywhere, and alone where the focus is on a button or the check
// box. An edit, even a read-only one, takes the letter as typing.
TEST_F(WindowBehaviourTest, MnemonicsWork) {
    struct Command {
        Qt::Key key;
        bool save;
        std::string extension, initialName;
    } commands[] = {
        {Qt::Key_L, false, "qd", "NR-QD8K.qd"},
        {Qt::Key_A, true, "qd", "NR-QD8K.qd"},
        {Qt::Key_B, true, "csv", "NR-QD8K.csv"},
    };
    struct From {
        int focus;
        Qt::KeyboardModifiers modifiers;
        bool acts;
    } froms[] = {
        {IDC_EDIT_DI1, Qt::AltModifier, true},
        {IDC_BUTTON_TITLE, Qt::NoModifier, true},
        {IDC_CHECK_LOGGING, Qt::ShiftModifier, true},  // a capital letter
        {IDC_EDIT_DI1, Qt::NoModifier, false},
        {IDC_EDIT_LOGFILE, Qt::NoModifier, false},  // read-only
    };
    const auto press = [&](const From& from, Qt::Key key) {
        Control(from.focus)->setFocus();
        prompter.fileRequests.clear();
        QTest::keyClick(QApplication::focusWidget(), key, from.modifiers);
    };
    for (const From& from : froms) {
        SCOPED_TRACE(from.focus);
        for (const Command& c : commands) {
            SCOPED_TRACE(c.key);
            press(from, c.key);
            ASSERT_EQ(prompter.fileRequests.size(), from.acts ? 1u : 0u);
            if (!from.acts) continue;
            EXPECT_EQ(prompter.fileRequests[0].save, c.save);
            EXPECT_EQ(prompter.fileRequests[0].defaultExtension, c.extension);
            EXPECT_EQ(prompter.fileRequests[0].initialPath, folder.File(c.initialName));
        }
        press(from, Qt::Key_P);
        EXPECT_EQ(QApplication::focusWidget() == Control(IDC_EDIT_PORT), from.acts);
    }
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1labp");

    // Each press is one click, however quick: the port edit greys and comes back at each.
    Dialog().m_editPort.SetWindowText(std::to_string(FreePort()));
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier, 50);
        EXPECT_EQ(Control(IDC_EDIT_PORT)->isEnabled(), i % 2 == 1) << i;
    }
    EXPECT_TRUE(WaitUntil([&] { return IsWaiting(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
    EXPECT_TRUE(WaitUntil([&] { return StopCompleted(); }));
}

// Typing: at most 20 CP932 bytes per name, no character CP932 lacks, digits only for the port.
TEST_F(WindowBehaviourTest, EditsTakeOnlyWhatTheyCanHold) {
    const std::string stopped = "\x92\xe2\x8e\x7e\x92\x86";  // 停止中
    auto* name = static_cast<QLineEdit*>(Control(IDC_EDIT_DI1));
    name->clear();
    TypeText(name, QString::fromUtf8("停止中停止中停止中停止中"));
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), stopped + stopped + stopped + "\x92\xe2");
    name->clear();
    TypeText(name, QString::fromUtf8("a😀한b"));
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "ab");

    // A paste or an input method's text takes what fits, up to a whole character.
    name->setText("DI1");
    QApplication::clipboard()->setText(QString::fromUtf8("abcdefghijklmnop停止"));
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1abcdefghijklmnop");
    name->setText("DI1");
    QInputMethodEvent input({}, {});
    input.setCommitString(QString::fromUtf8("停止中停止中停止中"));
    QApplication::sendEvent(name, &input);
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1" + stopped + stopped + "\x92\xe2\x8e\x7e");

    auto* port = static_cast<QLineEdit*>(Control(IDC_EDIT_PORT));
    port->clear();
    QTest::keyClicks(port, "1x0 2-4");
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

// A file or text dropped on a name edit, as a file manager drops them, changes nothing.
TEST_F(WindowBehaviourTest, DroppedFilesChangeNothing) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.File("x.qd")))});
    data.setText("a.qd");
    QWidget* name = Control(IDC_EDIT_DI1);
    QPoint at = name->mapTo(window, name->rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &drop);
    EXPECT_TRUE(drop.isAccepted());  // by the window, which ignores what it takes
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1");
}

}  // namespace
