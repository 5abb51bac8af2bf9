#include "support/TempFolder.h"
#include "support/WindowTest.h"
#include "ui/wnd/Prompter.h"
#include "ui/wnd/qt/JapaneseSystemTexts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The window system's own file dialog, as the operator meets it: its last filter, "all
// files(*.*)", lists files without a dot too. Qt's texts read Japanese, as
// the system's dialogs do on Windows.
TEST(QtPrompter, FileDialogListsEveryFileAndReadsJapanese) {
    TempFolder folder;
    for (const char* name : {"a.qd", "b.csv", "README"}) WriteFileBytes(folder.File(name), "");
    FileDialogRequest request{false, folder.File("a.qd"), "qd",
                              "qd file (*.qd)|*.qd|all files(*.*)|*.*||", 0};
    bool listsEveryFile = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        dialog->selectNameFilter(dialog->nameFilters().last());
        auto* view = dialog->findChild<QAbstractItemView*>("listView");
        listsEveryFile = WaitUntil([&] { return view->model()->rowCount(view->rootIndex()) == 3; });
        dialog->reject();
    });
    EXPECT_EQ(Prompter::Current().ChooseFile(nullptr, request), std::nullopt);
    EXPECT_TRUE(listsEveryFile) << "README too";

    JapaneseSystemTexts systemTexts;
    EXPECT_EQ(QFileDialog::tr("Save As"), QString::fromUtf8("名前を付けて保存"));
}

}  // namespace
