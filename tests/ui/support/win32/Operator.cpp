#include "ui/support/Operator.h"

#include "platform/win32/WideText.h"
#include "ui/wnd/win32/Win32Handles.h"
#include "ui/wnd/win32/Win32Messages.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>
#include <imm.h>

#include <chrono>
#include <cstring>
#include <cwctype>
#include <map>
#include <string>
#include <utility>

namespace op {
namespace {

// A message of the operator's, handled as the dialog's own loop handles one from the keyboard:
// the dialog manager first (Tab, Escape, mnemonics), then the control.
void Route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{hwnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    if (PreTranslateDialogMessage(msg)) return;
    ::DispatchMessageW(&msg);
}

// Shift and Control held while a key is pressed, as the system's key state tells them.
class HeldModifiers {
public:
    explicit HeldModifiers(unsigned modifiers) {
        ::GetKeyboardState(m_before);
        BYTE held[256];
        std::memcpy(held, m_before, sizeof held);
        if (modifiers & kShift) held[VK_SHIFT] = 0x80;
        if (modifiers & kControl) held[VK_CONTROL] = 0x80;
        ::SetKeyboardState(held);
    }
    ~HeldModifiers() { ::SetKeyboardState(m_before); }

private:
    BYTE m_before[256];
};

// The dialog manager translates a key it passes on into characters from the keyboard's state,
// where no modifier is held: the characters sent are the key's own.
void DropTranslatedCharacters(HWND hwnd) {
    MSG msg;
    while (::PeekMessageW(&msg, hwnd, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
    }
    while (::PeekMessageW(&msg, hwnd, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
    }
}

// The virtual key a key is pressed with and the character it types (0 for none); letters are
// their upper-case characters, and type their lower-case ones or, with Control, a control code.
struct KeyStroke {
    WPARAM virtualKey;
    wchar_t character;
};

KeyStroke StrokeOf(int key, unsigned modifiers) {
    static const std::map<int, KeyStroke> named{
        {kReturn, {VK_RETURN, L'\r'}}, {kEnter, {VK_RETURN, L'\r'}}, {kEscape, {VK_ESCAPE, 0x1b}},
        {kTab, {VK_TAB, L'\t'}},       {kSpace, {VK_SPACE, L' '}},   {kBackspace, {VK_BACK, L'\b'}},
        {kHome, {VK_HOME, 0}},         {kF10, {VK_F10, 0}},          {kMenuKey, {VK_APPS, 0}}};
    if (const auto found = named.find(key); found != named.end()) return found->second;
    const auto letter = static_cast<wchar_t>(key);
    return {letter,
            static_cast<wchar_t>((modifiers & kControl) ? key & 0x1f : std::towlower(letter))};
}

Colour ColourOf(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// Keys go where the keyboard's focus is; into an edit with nothing selected at the end of its
// text, where Qt's edits keep the cursor after a text is set.
void TakeKeyboard(HWND hwnd) {
    if (::GetFocus() != hwnd) ::SetFocus(hwnd);
    wchar_t className[16] = L"";
    ::GetClassNameW(hwnd, className, 16);
    DWORD start = 0, end = 0;
    if (::lstrcmpiW(className, L"Edit") != 0) return;
    ::SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    if (start != end) return;
    const int length = ::GetWindowTextLengthW(hwnd);
    ::SendMessageW(hwnd, EM_SETSEL, length, length);
}

// What WithNextModal is to do: a thread timer's procedure takes no data of its own.
std::function<void(WndHandle*)> g_modalAct;

// Runs in the modal dialog's own loop, which dispatches the timer once the dialog is shown.
void CALLBACK ActOnModal(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const auto act = std::exchange(g_modalAct, nullptr);
    HWND dialog = ::GetActiveWindow();
    if (dialog == nullptr || !act) return;
    act(ToHandle(dialog));
    if (::IsWindowVisible(dialog)) ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

void ServeEvents(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG msg;
        // Bounded too: a worker that keeps handing work over keeps the queue from emptying.
        while (std::chrono::steady_clock::now() < end &&
               ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (PreTranslateDialogMessage(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < end);
}

void Type(WndHandle* control, std::string_view text) {
    TakeKeyboard(ToHwnd(control));
    for (wchar_t unit : wide::FromUtf8(text).value_or(L""))
        Route(ToHwnd(control), WM_CHAR, unit, 1);
}

// As an input method finishes a word: the word becomes its context's result, and the edit is
// told so with WM_IME_COMPOSITION.
void Compose(WndHandle* control, std::string_view text) {
    HWND hwnd = ToHwnd(control);
    TakeKeyboard(hwnd);
    std::wstring word = wide::FromUtf8(text).value_or(L"");
    HIMC context = ::ImmGetContext(hwnd);
    ::ImmSetCompositionStringW(context, SCS_SETSTR, word.data(),
                               static_cast<DWORD>(word.size() * sizeof(wchar_t)), nullptr, 0);
    ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ::ImmReleaseContext(hwnd, context);
    ServeEvents(0);
}

void Press(WndHandle* target, int key, unsigned modifiers) {
    HWND hwnd = ToHwnd(target);
    TakeKeyboard(hwnd);
    const auto [virtualKey, character] = StrokeOf(key, modifiers);
    const HeldModifiers held(modifiers);
    if (key == kF10) {
        // A system key even without Alt. Its release is left out: the menu it opens takes it,
        // and the scripted one shows none.
        Route(hwnd, WM_SYSKEYDOWN, virtualKey, 1);
        return;
    }
    if (modifiers & kAlt) {
        constexpr LPARAM kAltDown = LPARAM{1} << 29;
        Route(hwnd, WM_SYSKEYDOWN, virtualKey, kAltDown | 1);
        DropTranslatedCharacters(hwnd);
        Route(hwnd, WM_SYSCHAR, character, kAltDown | 1);
        Route(hwnd, WM_SYSKEYUP, virtualKey, kAltDown | 0xC0000001);
        return;
    }
    Route(hwnd, WM_KEYDOWN, virtualKey, 1);
    DropTranslatedCharacters(hwnd);
    if (character != 0) Route(hwnd, WM_CHAR, character, 1);
    Route(hwnd, WM_KEYUP, virtualKey, 0xC0000001);
}

void Click(WndHandle* control) {
    ::SendMessageW(ToHwnd(control), BM_CLICK, 0, 0);
}

// The system makes the context menu request of the release, for the window under the pointer.
void RightClick(WndHandle* control) {
    HWND hwnd = ToHwnd(control);
    RECT rect{};
    ::GetClientRect(hwnd, &rect);
    const LPARAM centre = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    ::SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, centre);
    ::SendMessageW(hwnd, WM_RBUTTONUP, 0, centre);
}

void ClickColumnTitle(WndHandle* list, int column) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(ToHwnd(list), LVM_GETHEADER, 0, 0));
    RECT rect{};
    ::SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
    const LPARAM centre = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::SendMessageW(header, WM_LBUTTONUP, 0, centre);
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = wide::ToUtf8(static_cast<const wchar_t*>(::GlobalLock(data))).value_or("");
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

void CopyToClipboard(std::string_view text) {
    const std::wstring wideText = wide::FromUtf8(text).value_or(L"");
    const size_t bytes = (wideText.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(memory), wideText.c_str(), bytes);
    ::GlobalUnlock(memory);
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
    ::CloseClipboard();
}

void Focus(WndHandle* control) {
    ::SetFocus(ToHwnd(control));
}

void WithNextModal(std::function<void(WndHandle* dialog)> act) {
    g_modalAct = std::move(act);
    ::SetTimer(nullptr, 0, 0, ActOnModal);
}

std::string TextOf(WndHandle* control) {
    return wide::ToUtf8(WindowTextOf(ToHwnd(control))).value_or("");
}

bool Activate(WndHandle* window) {
    HWND hwnd = ToHwnd(window);
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetForegroundWindow(hwnd);
    ::SetActiveWindow(hwnd);
    ServeEvents(50);
    return ::GetActiveWindow() == hwnd;
}

WndHandle* Focused() {
    return ToHandle(::GetFocus());
}

// Painted as it would be now into a bitmap of its size: what the screen shows, even when
// something covers it.
Picture Shot(WndHandle* control) {
    HWND hwnd = ToHwnd(control);
    RECT rect{};
    ::GetClientRect(hwnd, &rect);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::PrintWindow(hwnd, dc, PW_CLIENTONLY);
    Picture picture{rect.right, rect.bottom, {}};
    for (int y = 0; y < rect.bottom; ++y) {
        for (int x = 0; x < rect.right; ++x)
            picture.pixels.push_back(ColourOf(::GetPixel(dc, x, y)));
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return picture;
}

Colour WindowBackground(WndHandle*) {
    return ColourOf(::GetSysColor(COLOR_3DFACE));
}

bool HasIcon(WndHandle* window) {
    return ::SendMessageW(ToHwnd(window), WM_GETICON, ICON_BIG, 0) != 0;
}

}  // namespace op
