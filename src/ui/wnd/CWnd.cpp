#include "ui/wnd/CWnd.h"

#include "platform/ModuleInfo.h"
#include "platform/PathText.h"
#include "ui/wnd/AppResources.h"
#include "ui/wnd/Prompter.h"
#include "ui/wnd/UiThread.h"
#include "ui/wnd/WindowSystem.h"

void CWnd::EnableWindow(bool enable) {
    UiThread::Call([&] { wnd::Enable(m_hWnd, enable); });
}

bool CWnd::IsWindowEnabled() const {
    bool enabled = false;
    UiThread::Call([&] { enabled = wnd::IsEnabled(m_hWnd); });
    return enabled;
}

void CWnd::ShowWindow(int nCmdShow) {
    UiThread::Call([&] {
        wnd::Show(m_hWnd, nCmdShow != SW_HIDE);
        OnShowChanged();
    });
}

bool CWnd::IsWindowVisible() const {
    bool visible = false;
    UiThread::Call([&] { visible = wnd::IsVisible(m_hWnd); });
    return visible;
}

void CWnd::InvalidateRect() {
    UiThread::Post([this] { wnd::Invalidate(m_hWnd); });
}

void CWnd::SetFont(const CFont* font) {
    UiThread::Call([&] { wnd::SetFont(m_hWnd, *font); });
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

void CWnd::SetTextNow(const std::string& text) {
    wnd::SetText(m_hWnd, text);
    m_lastText = text;
}

std::string CWnd::TextNow() const {
    return wnd::ShowsText(m_hWnd, m_lastText) ? m_lastText : wnd::ReadText(m_hWnd);
}

std::string AfxGetAppName() {
    std::optional<std::string> path = ModuleInfo::Current().ExecutablePath();
    return path ? FileTitleOfPath(*path) : AfxGetAppResources().appName;
}

void AfxMessageBox(std::string_view text) {
    std::string copy(text);
    UiThread::Call([&] { Prompter::Current().ShowMessage(nullptr, AfxGetAppName(), copy); });
}
