#pragma once

#include <string>
#include <string_view>

// What the window layer's opaque types are over Win32. The system's handle types are named by
// their tags, so this header needs no windows.h (which would rename the layer's methods).
struct HFONT__;
struct HICON__;
struct HWND__;
struct WndHandle;

inline HWND__* ToHwnd(WndHandle* hWnd) {
    return reinterpret_cast<HWND__*>(hWnd);
}
inline WndHandle* ToHandle(HWND__* hwnd) {
    return reinterpret_cast<WndHandle*>(hwnd);
}

struct FontHandle {
    explicit FontHandle(HFONT__* made) : font(made) {}
    ~FontHandle();
    FontHandle(const FontHandle&) = delete;
    FontHandle& operator=(const FontHandle&) = delete;

    HFONT__* font;
};

class CIcon {
public:
    HICON__* bigIcon = nullptr;    // the caption and Alt+Tab
    HICON__* smallIcon = nullptr;  // the task bar and the system menu
};

// CP932 bytes to the text the W functions show; bytes that are no character still show as
// something. The way back, which must be exact, is the platform's (wide::ToCp932).
std::wstring WideText(std::string_view cp932);
// What the window shows as its text.
std::wstring WindowTextOf(HWND__* hwnd);
