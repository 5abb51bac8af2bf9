#include "ui/wnd/qt/JapaneseSystemTexts.h"

#include <QFileDialog>

#include <gtest/gtest.h>

namespace {

// The window system's own dialogs read Japanese, as the system's dialogs do on Windows.
TEST(QtPrompter, SystemDialogsReadJapanese) {
    JapaneseSystemTexts systemTexts;
    EXPECT_EQ(QFileDialog::tr("Save As"), QString::fromUtf8("名前を付けて保存"));
}

}  // namespace
