#include "ui/wnd/CEdit.h"

#include "ui/wnd/UiThread.h"
#include "ui/wnd/WindowSystem.h"

void CEdit::SetLimitText(int nMaxBytes) {
    UiThread::Call([&] {
        if (!IsPane()) wnd::LimitTypedBytes(GetSafeHwnd(), static_cast<size_t>(nMaxBytes));
    });
}

void CEdit::ReplaceSel(std::string_view text) {
    UiThread::Post([this, copy = std::string(text)] { AppendNow(copy); });
}

void CEdit::AppendNow(std::string_view text) {
    m_paneText.append(text);
    if (m_paneText.size() > kMaxPaneBytes) {
        // Keep the newer half, from a line start, so the pane never grows without end.
        size_t cut = m_paneText.find('\n', m_paneText.size() - kMaxPaneBytes / 2);
        m_paneText.erase(0, cut == std::string::npos ? m_paneText.size() : cut + 1);
    }
    if (wnd::IsVisible(GetSafeHwnd())) ShowPaneText();
}

void CEdit::SetTextNow(const std::string& text) {
    if (!IsPane()) {
        CWnd::SetTextNow(text);
        return;
    }
    m_paneText = text;
    ShowPaneText();
}

std::string CEdit::TextNow() const {
    return IsPane() ? m_paneText : CWnd::TextNow();
}

void CEdit::OnShowChanged() {
    if (IsPane() && wnd::IsVisible(GetSafeHwnd())) ShowPaneText();
}

bool CEdit::IsPane() const {
    return wnd::IsPane(GetSafeHwnd());
}

void CEdit::ShowPaneText() {
    wnd::ShowPaneText(GetSafeHwnd(), m_paneText);
}
