#include "ui/wnd/WindowSystem.h"

#include "platform/win32/WideText.h"
#include "ui/wnd/CFont.h"
#include "ui/wnd/win32/Win32Edit.h"
#include "ui/wnd/win32/Win32Handles.h"
#include "ui/wnd/win32/Win32Messages.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsEdit(HWND hwnd, bool multiLine) {
    wchar_t name[16];
    if (GetClassNameW(hwnd, name, 16) == 0 || lstrcmpiW(name, L"Edit") != 0) return false;
    return ((GetWindowLongW(hwnd, GWL_STYLE) & ES_MULTILINE) != 0) == multiLine;
}

}  // namespace

namespace wnd {

void SetText(WndHandle* hWnd, const std::string& text) {
    SetWindowTextW(ToHwnd(hWnd), WideText(text).c_str());
}

bool ShowsText(WndHandle* hWnd, const std::string& text) {
    return WindowTextOf(ToHwnd(hWnd)) == WideText(text);
}

std::string ReadText(WndHandle* hWnd) {
    // The edits let in only what converts, so this fails only for text the program set, which
    // the window layer reads back from its own copy.
    return wide::ToCp932(WindowTextOf(ToHwnd(hWnd))).value_or(std::string());
}

void Enable(WndHandle* hWnd, bool enable) {
    EnableWindow(ToHwnd(hWnd), enable);
}

bool IsEnabled(WndHandle* hWnd) {
    return IsWindowEnabled(ToHwnd(hWnd));
}

void Show(WndHandle* hWnd, bool show) {
    ShowWindow(ToHwnd(hWnd), show ? SW_SHOW : SW_HIDE);
}

bool IsVisible(WndHandle* hWnd) {
    return IsWindowVisible(ToHwnd(hWnd));
}

void Invalidate(WndHandle* hWnd) {
    InvalidateRect(ToHwnd(hWnd), nullptr, TRUE);
}

void SetFont(WndHandle* hWnd, const CFont& font) {
    SendMessageW(ToHwnd(hWnd), WM_SETFONT, reinterpret_cast<WPARAM>(font.GetFont()->font), TRUE);
}

bool IsChecked(WndHandle* hWnd) {
    return SendMessageW(ToHwnd(hWnd), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The system's check box tells nobody of a state set this way: its dialog is told, as the
// program's handlers of every change expect.
void SetChecked(WndHandle* hWnd, bool checked) {
    HWND box = ToHwnd(hWnd);
    if (IsChecked(hWnd) == checked) return;
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(GetParent(box), kMsgCheckSet, static_cast<WPARAM>(GetDlgCtrlID(box)), 0);
}

void LimitTypedBytes(WndHandle* hWnd, size_t maxBytes) {
    if (IsEdit(ToHwnd(hWnd), false)) SetTypedByteLimit(ToHwnd(hWnd), maxBytes);
}

bool IsPane(WndHandle* hWnd) {
    return IsEdit(ToHwnd(hWnd), true);
}

void ShowPaneText(WndHandle* hWnd, const std::string& text) {
    HWND pane = ToHwnd(hWnd);
    SetWindowTextW(pane, WideText(text).c_str());
    int end = GetWindowTextLengthW(pane);
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(pane, EM_SCROLLCARET, 0, 0);
}

// The system's text takes CR LF line ends, and belongs to the clipboard once handed over.
void SetClipboardText(WndHandle* owner, const std::string& text) {
    std::wstring wide;
    for (wchar_t c : WideText(text)) {
        if (c == L'\n') wide += L'\r';
        wide += c;
    }
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return;
    std::memcpy(GlobalLock(memory), wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(ToHwnd(owner))) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    CloseClipboard();
}

}  // namespace wnd
