#include "ui/support/Operator.h"

#include "ui/wnd/qt/QtHandles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <map>

namespace op {
namespace {

Colour ColourOf(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// Qt's letter keys are their upper-case characters.
Qt::Key QtKey(int key) {
    static const std::map<int, Qt::Key> named{
        {kReturn, Qt::Key_Return}, {kEnter, Qt::Key_Enter}, {kEscape, Qt::Key_Escape},
        {kTab, Qt::Key_Tab},       {kSpace, Qt::Key_Space}, {kBackspace, Qt::Key_Backspace},
        {kHome, Qt::Key_Home},     {kF10, Qt::Key_F10},     {kMenuKey, Qt::Key_Menu}};
    const auto found = named.find(key);
    return found != named.end() ? found->second : static_cast<Qt::Key>(key);
}

}  // namespace

void ServeEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (timer.elapsed() < ms);
}

// As a keyboard with an input method types: QTest's own typing knows only ASCII keys.
void Type(WndHandle* control, std::string_view text) {
    for (QChar c : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(QtWidget(control), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(QtWidget(control), &release);
    }
}

void Compose(WndHandle* control, std::string_view text) {
    QInputMethodEvent committed;
    committed.setCommitString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    QApplication::sendEvent(QtWidget(control), &committed);
}

void Press(WndHandle* target, int key, unsigned modifiers) {
    Qt::KeyboardModifiers qtModifiers;
    if (modifiers & kAlt) qtModifiers |= Qt::AltModifier;
    if (modifiers & kControl) qtModifiers |= Qt::ControlModifier;
    if (modifiers & kShift) qtModifiers |= Qt::ShiftModifier;
    QTest::keyClick(QtWidget(target), QtKey(key), qtModifiers);
}

void Click(WndHandle* control) {
    QTest::mouseClick(QtWidget(control), Qt::LeftButton);
}

// The window system turns the click into a context menu event; offscreen nobody does.
void RightClick(WndHandle* control) {
    QWidget* widget = QtWidget(control);
    QTest::mouseClick(widget, Qt::RightButton);
    const QPoint centre = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, centre, widget->mapToGlobal(centre));
    QApplication::sendEvent(widget, &event);
}

void ClickColumnTitle(WndHandle* list, int column) {
    const QHeaderView* header = static_cast<QTableView*>(QtWidget(list))->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

std::string ClipboardText() {
    return QApplication::clipboard()->text().toStdString();
}

void CopyToClipboard(std::string_view text) {
    QApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Focus(WndHandle* control) {
    QtWidget(control)->setFocus();
}

void WithNextModal(std::function<void(WndHandle* dialog)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (QTest::qWaitForWindowActive(dialog)) act(ToHandle(dialog));
        if (dialog->isVisible()) dialog->reject();
    });
}

// A window's caption as the window system is given it.
std::string TextOf(WndHandle* control) {
    QWidget* widget = QtWidget(control);
    if (widget->isWindow()) return widget->windowHandle()->title().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
    return {};
}

bool Activate(WndHandle* window) {
    QtWidget(window)->activateWindow();
    return QTest::qWaitForWindowActive(QtWidget(window));
}

WndHandle* Focused() {
    return ToHandle(QApplication::focusWidget());
}

Picture Shot(WndHandle* control) {
    const QImage image = QtWidget(control)->grab().toImage();
    Picture picture{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            picture.pixels.push_back(ColourOf(image.pixelColor(x, y)));
    }
    return picture;
}

Colour WindowBackground(WndHandle* window) {
    return ColourOf(QtWidget(window)->palette().color(QPalette::Window));
}

bool HasIcon(WndHandle* window) {
    return !QtWidget(window)->windowIcon().isNull();
}

}  // namespace op
