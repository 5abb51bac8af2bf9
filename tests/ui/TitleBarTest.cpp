#include "Strings.h"
#include "resource.h"
#include "support/Typing.h"
#include "support/WindowTest.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

class TitleBarTest : public WindowTest {
protected:
    void SetUp() override { Open(); }

    // Runs the title command, acting on its dialog once it is open.
    std::string ChangeTitle(const std::function<void(QDialog&)>& act) {
        std::string seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            seen = Edit(*dialog).text().toStdString();
            if (QTest::qWaitForWindowActive(dialog)) act(*dialog);
            // Whatever the action did, the command must come back.
            if (dialog->isVisible()) dialog->reject();
        });
        Dialog().OnChangeTitle();
        return seen;
    }
    static QLineEdit& Edit(QDialog& dialog) { return *dialog.findChild<QLineEdit*>(); }
    // The caption as the window system is given it.
    std::string Caption() {
        return Dialog().GetDialogWidget()->windowHandle()->title().toStdString();
    }
};

// The edit shows the present title; OK sets caption and title, the others change nothing.
TEST_F(TitleBarTest, OkSetsTheTitleAndTheOthersDoNot) {
    EXPECT_EQ(ChangeTitle([](QDialog& dialog) {
                  Edit(dialog).setText("Line 2");
                  QTest::keyClick(&dialog, Qt::Key_Escape);
              }),
              "NR-QD8K");
    EXPECT_EQ(Text(Dialog()), "NR-QD8K");
    ChangeTitle([](QDialog& dialog) {
        Edit(dialog).setText("Line 2");
        dialog.close();
    });
    EXPECT_EQ(Dialog().m_strTitle, "NR-QD8K");

    EXPECT_EQ(ChangeTitle([](QDialog& dialog) {
                  TypeText(&Edit(dialog), QString::fromUtf8("第2ライン"));
                  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
                      if (button->text() == "OK") button->click();
                  }
              }),
              "NR-QD8K");
    EXPECT_EQ(Dialog().m_strTitle, "NR-QD8K\x91\xe6\x32\x83\x89\x83\x43\x83\x93");
    EXPECT_EQ(Text(Dialog()), Dialog().m_strTitle);
    EXPECT_EQ(ChangeTitle([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }),
              "NR-QD8K第2ライン");
}

// Enter presses the focused push button, and OK, the default button, from the edit. The
// dialog opens with the focus on OK.
TEST_F(TitleBarTest, EnterPressesTheFocusedButton) {
    struct Case {
        int tabs;
        const char* focused;
        int result;
        const char* title;
    } cases[] = {{0, "OK", IDOK, "Line 2"},
                 {1, "ｷｬﾝｾﾙ", IDCANCEL, "NR-QD8K"},
                 {2, "Line 2", IDOK, "Line 2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tabs);
        std::string focused;
        int result = -1;
        ChangeTitle([&](QDialog& dialog) {
            Edit(dialog).setText("Line 2");
            for (int i = 0; i < c.tabs; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            focused = focus->property("text").toString().toStdString();
            QTest::keyClick(focus, Qt::Key_Return);
            result = dialog.result();
        });
        EXPECT_EQ(focused, c.focused);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Dialog().m_strTitle, c.title);
        Dialog().m_strTitle = "NR-QD8K";
    }
}

// The main window is an ordinary window of its own (a task-bar entry, a minimise box, not
// modal); the title dialog stays modal and transient for it.
TEST_F(TitleBarTest, MainWindowIsOrdinaryAndOwnsTheTitleDialog) {
    Close();
    CSignalServerDlg main;
    QWindow* mainWindow = nullptr;
    QWindow* mainOwner = nullptr;
    QWindow* titleOwner = nullptr;
    Qt::WindowType mainType = Qt::Dialog;
    Qt::WindowFlags mainFlags;
    Qt::WindowModality mainModality = Qt::ApplicationModal;
    QTimer::singleShot(0, [&] {
        mainWindow = main.GetDialogWidget()->windowHandle();
        mainOwner = mainWindow->transientParent();
        mainType = mainWindow->type();
        mainFlags = mainWindow->flags();
        mainModality = mainWindow->modality();
        QTimer::singleShot(0, [&] {
            auto* title = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (title != nullptr) {
                titleOwner = title->windowHandle()->transientParent();
                title->reject();
            }
        });
        main.OnChangeTitle();
        main.HandleCancel();
    });
    main.DoModal();
    ASSERT_NE(mainWindow, nullptr);
    EXPECT_EQ(mainType, Qt::Window);
    EXPECT_TRUE(mainFlags & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(mainOwner, nullptr);
    EXPECT_EQ(mainModality, Qt::NonModal);
    EXPECT_EQ(titleOwner, mainWindow);
}

// An empty title is saved as an empty value; "#$" is accepted here and refused by the save.
TEST_F(TitleBarTest, TitleValuesMeetTheSaveRules) {
    ChangeTitle([](QDialog& dialog) {
        Edit(dialog).clear();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(Text(Dialog()), "");
    // The window system shows the program's name for an empty caption, but not for a blank one.
    EXPECT_EQ(Caption(), " ");
    prompter.plannedFiles.push_back(folder.File("a.qd"));
    Dialog().OnSaveSettings();
    EXPECT_TRUE(ReadFileBytes(folder.File("a.qd")).starts_with("#$TITLEBAR=\r\n#$PORT="));

    ChangeTitle([](QDialog& dialog) {
        Edit(dialog).setText("A#$B");
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(Text(Dialog()), "A#$B");
    Dialog().OnSaveSettings();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTextTitleHasMarker);

    // Qt's mark for a modified document is text like any other here.
    ChangeTitle([](QDialog& dialog) {
        Edit(dialog).setText("A[*]B");
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(Text(Dialog()), "A[*]B");
    EXPECT_EQ(Caption(), "A[*]B");
}

}  // namespace
