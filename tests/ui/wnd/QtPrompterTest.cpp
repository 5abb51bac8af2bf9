#include "app/JapaneseSystemTexts.h"
#include "support/TempFolder.h"
#include "support/WindowTest.h"
#include "ui/wnd/Prompter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The files the dialog lists for the filter chosen now, once there are as many as expected.
QStringList ListedFiles(QFileDialog& dialog, int expected) {
    auto* view = dialog.findChild<QAbstractItemView*>("listView");
    QStringList names;
    WaitUntil([&] {
        names.clear();
        QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            QModelIndex index = view->model()->index(row, 0, root);
            if (view->model()->flags(index) & Qt::ItemIsEnabled) names << index.data().toString();
        }
        return names.size() >= expected;
    });
    names.sort();
    return names;
}

// The window system's own file dialog, as the operator meets it: Qt's texts read Japanese, as
// the system's dialogs do on Windows; the list shows each name as written, and "all files(*.*)"
// lists files without a dot too.
TEST(QtPrompter, FileDialogReadsJapaneseAndListsEveryFile) {
    JapaneseSystemTexts systemTexts;
    TempFolder folder;
    for (const char* name : {"a.qd", "b.csv", "README"}) WriteFileBytes(folder.File(name), "");
    FileDialogRequest request{true, folder.File("a.qd"), "qd",
                              "qd file (*.qd)|*.qd|all files(*.*)|*.*||", 0};
    QString title;
    QStringList buttons, filters, qdFiles, allFiles;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        title = dialog->windowTitle();
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) buttons << button->text();
        auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < combo->count(); ++i) filters << combo->itemText(i);
        qdFiles = ListedFiles(*dialog, 1);
        dialog->selectNameFilter(dialog->nameFilters().last());
        allFiles = ListedFiles(*dialog, 3);
        dialog->reject();
    });
    EXPECT_EQ(Prompter::Current().ChooseFile(nullptr, request), std::nullopt);
    EXPECT_EQ(title, QString::fromUtf8("名前を付けて保存"));
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("キャンセル")));
    EXPECT_EQ(filters, QStringList({"qd file (*.qd)", "all files(*.*)"}));
    EXPECT_EQ(qdFiles, QStringList({"a.qd"}));
    EXPECT_EQ(allFiles, QStringList({"README", "a.qd", "b.csv"}));
}

}  // namespace
