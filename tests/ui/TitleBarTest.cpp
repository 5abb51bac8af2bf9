#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "Strings.h"
#include "resource.h"
#include "support/Typing.h"
#include "support/WindowTest.h"

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

// Enter at once confirms the present title: OK holds the focus and is the default button.
TEST_F(TitleBarTest, EnterAtOnceKeepsTheTitle) {
    std::string focused;
    ChangeTitle([&](QDialog& dialog) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        focused = focus->property("text").toString().toStdString();
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), IDOK);
    });
    EXPECT_EQ(focused, "OK");
    EXPECT_EQ(Dialog().m_strTitle, "NR-QD8K");
}

// An empty title is saved as an empty value; "#$" is accepted here and refused by the save.
TEST_F(TitleBarTest, TitleValuesMeetTheSaveRules) {
    ChangeTitle([](QDialog& dialog) {
        Edit(dialog).clear();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(Text(Dialog()), "");
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
}

}  // namespace
