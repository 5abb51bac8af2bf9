#include "ui/wnd/win32/Win32Edit.h"

#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>

#include <limits>
#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Where SetTypedByteLimit finds an edit's rules (the import library lacks GetWindowSubclass).
constexpr wchar_t kRulesProperty[] = L"NR-QD8K.TypingRules";

struct TypingRules {
    bool digitsOnly;
    size_t maxBytes = std::numeric_limits<size_t>::max();
};

std::wstring WithSelectionReplaced(HWND edit, std::wstring_view typed) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::wstring text = WindowTextOf(edit);
    return text.replace(start, end - start, typed);
}

// The longest start of what is typed or pasted that the rules let in: as the system's edit
// takes the part of a paste that fits, up to the end of its last whole character. Only what is
// added is judged, so a text the program set can still be shortened.
std::wstring WhatFits(HWND edit, const TypingRules& rules, std::wstring_view typed) {
    std::wstring taken;
    for (wchar_t c : typed) {
        if (rules.digitsOnly && (c < L'0' || c > L'9')) break;
        std::wstring candidate = taken + c;
        std::string bytes;
        if (!Cp932FromWide(WithSelectionReplaced(edit, candidate), bytes)) break;
        if (bytes.size() > rules.maxBytes) break;
        taken = std::move(candidate);
    }
    return taken;
}

// A single-line edit takes the clipboard's first line.
std::wstring ClipboardLine(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text.substr(0, text.find_first_of(L"\r\n"));
}

LRESULT CALLBACK TypingProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR data) {
    auto* rules = reinterpret_cast<TypingRules*>(data);
    switch (message) {
        case WM_CHAR: {
            wchar_t typed = static_cast<wchar_t>(wParam);
            // Backspace and the other control keys take away or move; they add nothing.
            if (typed >= L' ' && WhatFits(edit, *rules, {&typed, 1}).empty()) return 0;
            break;
        }
        case WM_PASTE: {
            std::wstring fits = WhatFits(edit, *rules, ClipboardLine(edit));
            if (!fits.empty()) {
                SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fits.c_str()));
            }
            return 0;
        }
        case WM_NCDESTROY:
            RemovePropW(edit, kRulesProperty);
            RemoveWindowSubclass(edit, TypingProc, kSubclassId);
            delete rules;
            break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void ApplyTypingRules(HWND edit, bool digitsOnly) {
    auto* rules = new TypingRules{digitsOnly};
    if (!SetWindowSubclass(edit, TypingProc, kSubclassId, reinterpret_cast<DWORD_PTR>(rules))) {
        delete rules;
        return;
    }
    SetPropW(edit, kRulesProperty, rules);
}

void SetTypedByteLimit(HWND edit, size_t maxBytes) {
    if (auto* rules = static_cast<TypingRules*>(GetPropW(edit, kRulesProperty))) {
        rules->maxBytes = maxBytes;
    }
}
