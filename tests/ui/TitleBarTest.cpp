#include "platform/Cp932.h"
#include "ui/support/WindowTest.h"

namespace {

using TitleBarTest = WindowTest;

// The edit shows the present title. Enter on OK or in the edit sets caption and title; on Cancel
// it does not. An empty title is shown as a blank caption (on Linux a space: the window system
// would show the program's name for an empty one) and saved empty; a mark some frameworks read in
// a title is text like any other.
TEST_F(TitleBarTest, OkSetsTheTitleAndCancelDoesNot) {
    Open();
    const struct {
        std::string typed;
        int tabsToEnter;  // 0: Enter in the edit, 1: on OK, 2: on Cancel
        std::string title;
    } cases[] = {
        {"Line 2", 2, "NR-QD8K"},
        {"表ソムあポ", 1, "\x95\x5c\x83\x5c\x83\x80\x82\xa0\x83\x7c"},
        {"A[*]B", 0, "A[*]B"},
        {"", 1, ""},
    };
    std::string shown = "NR-QD8K";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        op::WithNextModal([&](WndHandle*) {
            // From OK, where the dialog puts the focus, to the edit, whose text is then selected.
            op::Press(op::Focused(), op::kTab);
            op::Press(op::Focused(), op::kTab);
            EXPECT_EQ(op::TextOf(op::Focused()), cp932::ToUtf8(shown));
            op::Press(op::Focused(), op::kBackspace);
            op::Type(op::Focused(), c.typed);
            for (int i = 0; i < c.tabsToEnter; ++i) op::Press(op::Focused(), op::kTab);
            op::Press(op::Focused(), op::kReturn);
        });
        Dialog().OnChangeTitle();
        shown = c.title;
        EXPECT_EQ(Dialog().m_strTitle, c.title);
        const std::string caption = op::TextOf(Window());
        EXPECT_EQ(caption.find_first_not_of(' ') == std::string::npos ? "" : caption,
                  cp932::ToUtf8(c.title));
    }
    prompter.plannedFiles.push_back(cp932::ToUtf8(folder.File("a.qd")));
    Dialog().OnSaveSettings();
    EXPECT_TRUE(ReadFileBytes(folder.File("a.qd")).starts_with("#$TITLEBAR=\r\n#$PORT="));
}

}  // namespace
