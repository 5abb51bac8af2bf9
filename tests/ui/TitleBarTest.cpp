#include "platform/Cp932.h"
#include "support/WindowTest.h"

#include <functional>

namespace {

class TitleBarTest : public WindowTest {
protected:
    void SetUp() override { Open(); }

    // Runs the title command and, once its dialog is open, takes the focus from OK (where the
    // dialog puts it) to the edit, whose text is then selected, and acts; the edit's text as the
    // dialog opened.
    std::string ChangeTitle(const std::function<void()>& act) {
        std::string seen;
        op::WithNextModal([&](WndHandle*) {
            if (op::TextOf(op::Focused()) != "OK") return;
            op::Press(op::Focused(), op::kTab);
            op::Press(op::Focused(), op::kTab);
            seen = op::TextOf(op::Focused());
            act();
        });
        Dialog().OnChangeTitle();
        return seen;
    }
};

// The edit shows the present title. OK (clicked, or Enter on it or in the edit) sets caption and
// title; Cancel does not. An empty title is shown as a blank caption (on Linux a space: the window
// system would show the program's name for an empty one) and saved empty; a mark some frameworks
// read in a title is text like any other.
TEST_F(TitleBarTest, OkSetsTheTitleAndCancelDoesNot) {
    const auto enterAfterTabs = [](int tabs) {
        return [tabs] {
            for (int i = 0; i < tabs; ++i) op::Press(op::Focused(), op::kTab);
            op::Press(op::Focused(), op::kReturn);
        };
    };
    const auto clickOk = [] {
        op::Press(op::Focused(), op::kTab);
        op::Click(op::Focused());
    };
    struct Case {
        const char* what;
        std::string typed;
        std::function<void()> act;
        std::string title;
    } cases[] = {
        {"Enter on OK", "Line 2", enterAfterTabs(1), "Line 2"},
        {"Enter on Cancel", "Line 2", enterAfterTabs(2), "NR-QD8K"},
        {"Enter in the edit", "Line 2", enterAfterTabs(0), "Line 2"},
        {"typed in Japanese", "NR-QD8K第2ライン", clickOk,
         "NR-QD8K\x91\xe6\x32\x83\x89\x83\x43\x83\x93"},
        {"empty", "", clickOk, ""},
        {"a modified mark", "A[*]B", clickOk, "A[*]B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChangeTitle([&] {
                      op::Press(op::Focused(), op::kBackspace);  // the selected text
                      op::Type(op::Focused(), c.typed);
                      c.act();
                  }),
                  "NR-QD8K");
        EXPECT_EQ(Dialog().m_strTitle, c.title);
        EXPECT_EQ(Text(Dialog()), c.title);
        const std::string caption = op::TextOf(Window());
        EXPECT_EQ(caption.find_first_not_of(' ') == std::string::npos ? "" : caption,
                  cp932::ToUtf8(c.title));
        if (c.title.empty()) {
            prompter.plannedFiles.push_back(folder.File("a.qd"));
            Dialog().OnSaveSettings();
            EXPECT_TRUE(ReadFileBytes(folder.File("a.qd")).starts_with("#$TITLEBAR=\r\n#$PORT="));
        }
        if (c.title == "NR-QD8K") continue;
        EXPECT_EQ(ChangeTitle([] { op::Press(op::Focused(), op::kEscape); }),
                  cp932::ToUtf8(c.title));
        Dialog().m_strTitle = "NR-QD8K";
        Dialog().SetWindowText("NR-QD8K");
    }
}

}  // namespace
