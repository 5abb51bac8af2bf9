#include "ui/wnd/CWnd.h"

#include "platform/ModuleInfo.h"
#include "platform/PathText.h"
#include "ui/wnd/AppResources.h"
#include "ui/wnd/CFont.h"
#include "ui/wnd/Prompter.h"
#include "ui/wnd/QtText.h"
#include "ui/wnd/UiThread.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

void CWnd::Attach(QWidget* widget) {
    m_pWidget = widget;
}

void CWnd::EnableWindow(bool enable) {
    UiThread::Call([&] { m_pWidget->setEnabled(enable); });
}

bool CWnd::IsWindowEnabled() const {
    bool enabled = false;
    UiThread::Call([&] { enabled = m_pWidget->isEnabled(); });
    return enabled;
}

void CWnd::ShowWindow(int nCmdShow) {
    UiThread::Call([&] {
        m_pWidget->setVisible(nCmdShow != SW_HIDE);
        OnShowChanged();
    });
}

bool CWnd::IsWindowVisible() const {
    bool visible = false;
    UiThread::Call([&] { visible = m_pWidget->isVisible(); });
    return visible;
}

void CWnd::InvalidateRect() {
    UiThread::Post([this] { m_pWidget->update(); });
}

void CWnd::SetFont(const CFont* font) {
    UiThread::Call([&] { m_pWidget->setFont(*font->GetFont()); });
}

void CWnd::MessageBox(std::string_view text) {
    std::string copy(text);
    UiThread::Call([&] { Prompter::Current().ShowMessage(this, AfxGetAppName(), copy); });
}

void CWnd::SetWindowText(std::string_view text) {
    std::string copy(text);
    UiThread::Call([&] { SetTextNow(copy); });
}

std::string CWnd::GetWindowText() const {
    std::string text;
    UiThread::Call([&] { text = TextNow(); });
    return text;
}

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

void CWnd::SetTextNow(const std::string& text) {
    QString qtext = QtText(text);
    if (auto* label = qobject_cast<QLabel*>(m_pWidget)) {
        label->setText(qtext);
    } else if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget)) {
        edit->setText(qtext);
    } else if (auto* button = qobject_cast<QAbstractButton*>(m_pWidget)) {
        button->setText(qtext);
    } else {
        m_pWidget->setWindowTitle(ShownText(m_pWidget, qtext));
    }
    m_lastText = text;
}

std::string CWnd::TextNow() const {
    QString shown = WidgetText(m_pWidget);
    if (shown == ShownText(m_pWidget, QtText(m_lastText))) return m_lastText;
    // What the operator typed: the edits take only characters CP932 holds.
    return Cp932Text(shown).value_or(std::string());
}

std::string AfxGetAppName() {
    std::optional<std::string> path = ModuleInfo::Current().ExecutablePath();
    return path ? FileTitleOfPath(*path) : AfxGetAppResources().appName;
}

void AfxMessageBox(std::string_view text) {
    std::string copy(text);
    UiThread::Call([&] { Prompter::Current().ShowMessage(nullptr, AfxGetAppName(), copy); });
}
