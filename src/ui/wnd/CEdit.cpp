#include "ui/wnd/CEdit.h"

#include "ui/wnd/UiThread.h"
#include "ui/wnd/WindowSystem.h"

#include <utility>

namespace {

// Keeps the newer half, from a line start, once the text is over a pane's bound.
void KeepWithinPane(std::string& text) {
    if (text.size() <= CEdit::kMaxPaneBytes) return;
    size_t cut = text.find('\n', text.size() - CEdit::kMaxPaneBytes / 2);
    text.erase(0, cut == std::string::npos ? text.size() : cut + 1);
}

}  // namespace

void CEdit::SetLimitText(int nMaxBytes) {
    UiThread::Call([&] {
        if (!IsPane()) wnd::LimitTypedBytes(GetSafeHwnd(), static_cast<size_t>(nMaxBytes));
    });
}

void CEdit::ReplaceSel(std::string_view text) {
    if (text.empty()) return;
    if (UiThread::IsCurrent()) {
        AppendNow(TakeComingText().append(text));
        return;
    }
    // Text from another thread gathers here until the UI thread takes it all at once: a busy
    // worker then costs one pane update per drain rather than one per line.
    bool posted;
    {
        std::lock_guard lock(m_comingMutex);
        posted = !m_comingText.empty();
        m_comingText.append(text);
        KeepWithinPane(m_comingText);
    }
    if (!posted) UiThread::Post([this] { AppendNow(TakeComingText()); });
}

std::string CEdit::TakeComingText() {
    std::lock_guard lock(m_comingMutex);
    return std::exchange(m_comingText, {});
}

void CEdit::AppendNow(std::string_view text) {
    if (text.empty()) return;
    m_paneText.append(text);
    KeepWithinPane(m_paneText);
    if (wnd::IsVisible(GetSafeHwnd())) ShowPaneText();
}

void CEdit::SetTextNow(const std::string& text) {
    if (!IsPane()) {
        CWnd::SetTextNow(text);
        return;
    }
    // Text still on its way is older than this and would otherwise follow it.
    TakeComingText();
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
