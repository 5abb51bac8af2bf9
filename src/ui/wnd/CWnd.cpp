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
        wnd::Show(m_hWnd, nCmdShow != kSwHide);
        OnShowChanged();
    });
}

bool CWnd::IsWindowVisible() const {
    bool visible = false;
    UiThread::Call([&] { visible = wnd::IsVisible(m_hWnd); });
    return visible;
}

void CWnd::InvalidateRect() {
    if (m_invalidatePending.exchange(true)) return;
    UiThread::Post([this] {
        // Cleared first: a change after this point needs a paint of its own.
        m_invalidatePending = false;
        wnd::Invalidate(m_hWnd);
    });
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
    UiThread::Call([&] {
        {
            // Newer than a text still on its way, which would otherwise overwrite it.
            std::lock_guard lock(m_laterMutex);
            m_laterText.reset();
        }
        SetTextNow(copy);
    });
}

std::string CWnd::GetWindowText() const {
    std::string text;
    UiThread::Call([&] { text = TextNow(); });
    return text;
}

void CWnd::SetWindowTextLater(std::string_view text) {
    bool posted;
    {
        std::lock_guard lock(m_laterMutex);
        posted = m_laterText.has_value();
        m_laterText = std::string(text);
    }
    if (posted) return;
    UiThread::Post([this] {
        std::optional<std::string> text;
        {
            std::lock_guard lock(m_laterMutex);
            text.swap(m_laterText);
        }
        if (text) SetTextNow(*text);
    });
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
