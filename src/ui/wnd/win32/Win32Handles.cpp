#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>

namespace {

constexpr UINT kCodePage = 932;

}  // namespace

std::wstring WideText(std::string_view cp932) {
    if (cp932.empty()) return {};
    int length = static_cast<int>(cp932.size());
    int needed = MultiByteToWideChar(kCodePage, 0, cp932.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) MultiByteToWideChar(kCodePage, 0, cp932.data(), length, wide.data(), needed);
    return wide;
}

std::wstring WindowTextOf(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}
