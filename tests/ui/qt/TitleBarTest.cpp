#include "platform/Cp932.h"
#include "resource.h"
#include "support/WindowTest.h"
#include "ui/wnd/qt/QtHandles.h"

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
    std::string Caption() { return QtDialog(Dialog())->windowHandle()->title().toStdString(); }
};

// The edit shows the present title. OK (clicked, or Enter on it or in the edit; the dialog
// opens with the focus on OK) sets caption and title; Cancel does not. An empty title is shown
// as a blank caption (the window system would show the program's name for an empty one) and
// saved empty; Qt's mark for a modified document is text like any other.
TEST_F(TitleBarTest, OkSetsTheTitleAndCancelDoesNot) {
    const auto enterAfterTabs = [](int tabs) {
        return [tabs](QDialog&) {
            for (int i = 0; i < tabs; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
    };
    const auto clickOk = [](QDialog& dialog) {
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == "OK") button->click();
        }
    };
    struct Case {
        const char* what;
        std::string typed;
        std::function<void(QDialog&)> act;
        std::string title;
    } cases[] = {
        {"Enter on OK", "Line 2", enterAfterTabs(0), "Line 2"},
        {"Enter on Cancel", "Line 2", enterAfterTabs(1), "NR-QD8K"},
        {"Enter in the edit", "Line 2", enterAfterTabs(2), "Line 2"},
        {"typed in Japanese", "NR-QD8K第2ライン", clickOk,
         "NR-QD8K\x91\xe6\x32\x83\x89\x83\x43\x83\x93"},
        {"empty", "", clickOk, ""},
        {"Qt's modified mark", "A[*]B", clickOk, "A[*]B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChangeTitle([&](QDialog& dialog) {
                      Edit(dialog).clear();
                      op::Type(ToHandle(&Edit(dialog)), c.typed);
                      c.act(dialog);
                  }),
                  "NR-QD8K");
        EXPECT_EQ(Dialog().m_strTitle, c.title);
        EXPECT_EQ(Text(Dialog()), c.title);
        EXPECT_EQ(Caption(), c.title.empty() ? " " : cp932::ToUtf8(c.title));
        if (c.title.empty()) {
            prompter.plannedFiles.push_back(folder.File("a.qd"));
            Dialog().OnSaveSettings();
            EXPECT_TRUE(ReadFileBytes(folder.File("a.qd")).starts_with("#$TITLEBAR=\r\n#$PORT="));
        }
        if (c.title == "NR-QD8K") continue;
        EXPECT_EQ(ChangeTitle([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }),
                  cp932::ToUtf8(c.title));
        Dialog().m_strTitle = "NR-QD8K";
        Dialog().SetWindowText("NR-QD8K");
    }
}

}  // namespace
