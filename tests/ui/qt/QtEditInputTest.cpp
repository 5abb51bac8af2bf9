#include "resource.h"
#include "support/WindowTest.h"
#include "ui/wnd/qt/QtHandles.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

namespace {

// Text that comes by Qt's own ways: an input method, a drop.
class QtEditInputTest : public WindowTest {
protected:
    void SetUp() override {
        Open();
        window = QtDialog(Dialog());
        ASSERT_TRUE(op::Activate(Window()));
    }
    QDialog* window = nullptr;
};

// An input method's text takes what fits, up to a whole character.
TEST_F(QtEditInputTest, ComposedTextTakesWhatFits) {
    const std::string stopped = "\x92\xe2\x8e\x7e\x92\x86";  // 停止中
    auto* name = static_cast<QLineEdit*>(QtWidget(Control(IDC_EDIT_DI1)));
    name->setText("DI1");
    QInputMethodEvent input({}, {});
    input.setCommitString(QString::fromUtf8("停止中停止中停止中"));
    QApplication::sendEvent(name, &input);
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1" + stopped + stopped + "\x92\xe2\x8e\x7e");
}

// A file or text dropped on a name edit, as a file manager drops them, changes nothing.
TEST_F(QtEditInputTest, DroppedFilesChangeNothing) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.File("x.qd")))});
    data.setText("a.qd");
    QWidget* name = QtWidget(Control(IDC_EDIT_DI1));
    QPoint at = name->mapTo(window, name->rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &drop);
    EXPECT_TRUE(drop.isAccepted());  // by the window, which ignores what it takes
    EXPECT_EQ(Text(Dialog().m_editDiName[4]), "DI1");
}

}  // namespace
