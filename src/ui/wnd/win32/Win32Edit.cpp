#include "ui/wnd/win32/Win32Edit.h"

#include "platform/Cp932.h"
#include "platform/win32/WideText.h"
#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>
#include <imm.h>

#include <limits>
#include <optional>
#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Where SetTypedByteLimit finds an edit's rules (the import library lacks GetWindowSubclass).
constexpr wchar_t kRulesProperty[] = L"NR-QD8K.TypingRules";

struct TypingRules {
    bool digitsOnly;
    size_t maxBytes = std::numeric_limits<size_t>::max();
};

// The longest start of what is typed or pasted that the rules let in: as the system's edit
// takes the part of a paste that fits, up to the end of its last whole character, each character
// as CP932 holds it. Only what is added is judged, so a text the program set can still be
// shortened.
std::wstring WhatFits(HWND edit, const TypingRules& rules, std::wstring_view typed) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::wstring kept = WindowTextOf(edit);
    kept.erase(start, end - start);
    std::optional<std::string> keptBytes = wide::ToCp932(kept);
    if (!keptBytes) return {};
    size_t bytes = keptBytes->size();
    std::wstring taken;
    for (wchar_t typedChar : typed) {
        const auto c = static_cast<wchar_t>(cp932::TypedEquivalent(typedChar));
        if (rules.digitsOnly && (c < L'0' || c > L'9')) break;
        // Half a surrogate pair converts to nothing: CP932 has no character beyond the BMP.
        std::optional<std::string> one = wide::ToCp932({&c, 1});
        if (!one || bytes + one->size() > rules.maxBytes) break;
        bytes += one->size();
        taken += c;
    }
    return taken;
}

// As typing would: nothing goes into a read-only edit.
void InsertWhatFits(HWND edit, const TypingRules& rules, std::wstring_view added) {
    if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) return;
    std::wstring fits = WhatFits(edit, rules, added);
    if (!fits.empty())
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fits.c_str()));
}

// What an input method finished: the edit would insert it itself, past the rules.
std::wstring ImeResult(HWND edit) {
    std::wstring result;
    if (HIMC context = ImmGetContext(edit)) {
        LONG size = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
        if (size > 0) {
            result.resize(static_cast<size_t>(size) / sizeof(wchar_t));
            ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(),
                                     static_cast<DWORD>(size));
        }
        ImmReleaseContext(edit, context);
    }
    return result;
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
            // Backspace and the other control keys take away or move; they add nothing.
            if (wParam < L' ') break;
            const auto typed = static_cast<wchar_t>(wParam);
            const std::wstring fits = WhatFits(edit, *rules, {&typed, 1});
            if (fits.empty()) return 0;
            return DefSubclassProc(edit, message, fits[0], lParam);
        }
        case WM_PASTE:
            InsertWhatFits(edit, *rules, ClipboardLine(edit));
            return 0;
        case WM_IME_COMPOSITION:
            if (lParam & GCS_RESULTSTR) {
                InsertWhatFits(edit, *rules, ImeResult(edit));
                return 0;
            }
            break;
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
