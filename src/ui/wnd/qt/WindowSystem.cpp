#include "ui/wnd/WindowSystem.h"

#include "ui/wnd/CFont.h"
#include "ui/wnd/qt/Cp932Validator.h"
#include "ui/wnd/qt/QtHandles.h"
#include "ui/wnd/qt/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWidget>

namespace {

QString WidgetText(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    return widget->windowTitle();
}

// What a widget is given to show a text. A window's caption shows the text as it is: Qt reads
// "[*]" as the place of a modified mark ("[*][*]" shows one), and the window system puts the
// program's name in an empty caption (a blank one shows as empty).
QString ShownText(const QWidget* widget, const QString& text) {
    if (!widget->isWindow()) return text;
    if (text.isEmpty()) return QStringLiteral(" ");
    return QString(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

}  // namespace

namespace wnd {

void SetText(WndHandle* hWnd, const std::string& text) {
    QWidget* widget = QtWidget(hWnd);
    QString qtext = QtText(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(qtext);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(qtext);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(qtext);
    } else {
        widget->setWindowTitle(ShownText(widget, qtext));
    }
}

bool ShowsText(WndHandle* hWnd, const std::string& text) {
    const QWidget* widget = QtWidget(hWnd);
    return WidgetText(widget) == ShownText(widget, QtText(text));
}

std::string ReadText(WndHandle* hWnd) {
    return Cp932Text(WidgetText(QtWidget(hWnd))).value_or(std::string());
}

void Enable(WndHandle* hWnd, bool enable) {
    QtWidget(hWnd)->setEnabled(enable);
}

bool IsEnabled(WndHandle* hWnd) {
    return QtWidget(hWnd)->isEnabled();
}

void Show(WndHandle* hWnd, bool show) {
    QtWidget(hWnd)->setVisible(show);
}

bool IsVisible(WndHandle* hWnd) {
    return QtWidget(hWnd)->isVisible();
}

void Invalidate(WndHandle* hWnd) {
    QtWidget(hWnd)->update();
}

void SetFont(WndHandle* hWnd, const CFont& font) {
    QtWidget(hWnd)->setFont(font.GetFont()->font);
}

bool IsChecked(WndHandle* hWnd) {
    return static_cast<QAbstractButton*>(QtWidget(hWnd))->isChecked();
}

void SetChecked(WndHandle* hWnd, bool checked) {
    static_cast<QAbstractButton*>(QtWidget(hWnd))->setChecked(checked);
}

void LimitTypedBytes(WndHandle* hWnd, size_t maxBytes) {
    if (auto* edit = qobject_cast<QLineEdit*>(QtWidget(hWnd))) {
        Cp932Validator::For(edit)->SetMaxBytes(maxBytes);
    }
}

bool IsPane(WndHandle* hWnd) {
    return qobject_cast<QPlainTextEdit*>(QtWidget(hWnd)) != nullptr;
}

void ShowPaneText(WndHandle* hWnd, const std::string& text) {
    auto* pane = static_cast<QPlainTextEdit*>(QtWidget(hWnd));
    pane->setPlainText(QtText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
}

void SetClipboardText(WndHandle*, const std::string& text) {
    QApplication::clipboard()->setText(QtText(text));
}

}  // namespace wnd
