#include "ui/wnd/DialogWindow.h"

#include "ui/wnd/win32/DialogTemplateEx.h"
#include "ui/wnd/win32/Win32Edit.h"
#include "ui/wnd/win32/Win32Handles.h"
#include "ui/wnd/win32/Win32ListView.h"
#include "ui/wnd/win32/Win32Messages.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {

bool HasClass(HWND hwnd, const wchar_t* className) {
    wchar_t name[16];
    return GetClassNameW(hwnd, name, 16) != 0 && lstrcmpiW(name, className) == 0;
}

// Every dialog of this thread that is open: a message for any of them passes its dialog
// manager (Tab, Escape, mnemonics), whichever window's loop took it.
std::set<HWND>& OpenDialogs() {
    static std::set<HWND> dialogs;
    return dialogs;
}

class Win32DialogWindow : public DialogWindow {
public:
    Win32DialogWindow(const DialogTemplate& dialogTemplate, HWND parent,
                      std::function<void()> onCancel);
    ~Win32DialogWindow() override;

    WndHandle* Handle() const override { return ToHandle(m_hwnd); }
    WndHandle* Control(int id) const override {
        return id == kIdStatic ? nullptr : ToHandle(GetDlgItem(m_hwnd, id));
    }

    void Show() override {
        ShowWindow(m_hwnd, SW_SHOW);
        SetForegroundWindow(m_hwnd);
    }
    int RunUntilEnded() override;
    void End(int result) override;

    void SetIcon(const CIcon& icon) override {
        SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.bigIcon));
        SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.smallIcon));
    }
    void AcceptDrops(bool accept) override { DragAcceptFiles(m_hwnd, accept); }
    void Bind(int id, Notification notification, std::function<void()> handler) override {
        m_handlers.push_back({id, notification, std::move(handler)});
    }
    void SetColourSource(WndHandle* control, std::function<ControlColours()> source) override {
        if (HasClass(ToHwnd(control), L"Static")) m_colours[ToHwnd(control)] = std::move(source);
    }
    void OnContextMenu(std::function<void(int x, int y)> handler) override {
        m_onContextMenu = std::move(handler);
    }
    void AddToSystemMenu(std::span<const MenuItem> items,
                         std::function<void(int id)> chosen) override;

private:
    struct Handler {
        int id;
        Notification notification;
        std::function<void()> run;
    };

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Notify(int id, Notification notification);
    void OnCommand(int id, int code, HWND control);
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);
    INT_PTR OnNotify(const NMHDR& header);
    void ShowContextMenu(HWND from, LPARAM place);
    bool OnSystemCommand(WPARAM command);
    HBRUSH SolidBrush(COLORREF colour);
    bool IsIgnoredEnter(const MSG& msg) const;

    HWND m_hwnd = nullptr;
    bool m_hasDefaultButton;
    std::function<void()> m_onCancel;
    std::optional<int> m_result;
    std::vector<Handler> m_handlers;
    std::map<HWND, std::function<ControlColours()>> m_colours;
    std::map<COLORREF, HBRUSH> m_brushes;
    std::vector<std::unique_ptr<Win32ListView>> m_lists;
    std::function<void(int, int)> m_onContextMenu;
    std::vector<int> m_systemMenuIds;
    std::function<void(int)> m_onSystemMenu;
};

Win32DialogWindow::Win32DialogWindow(const DialogTemplate& dialogTemplate, HWND parent,
                                     std::function<void()> onCancel)
    : m_hasDefaultButton(std::ranges::any_of(
          dialogTemplate.controls,
          [](const auto& control) { return control.kind == ControlKind::DefPushButton; })),
      m_onCancel(std::move(onCancel)) {
    // Its classes, for a template that has a list.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    std::vector<uint16_t> words = BuildDialogTemplateEx(dialogTemplate);
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), parent, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    for (const ControlTemplate& control : dialogTemplate.controls) {
        if (control.kind == ControlKind::Edit && !(control.styles & kStyleMultiLine)) {
            ApplyTypingRules(GetDlgItem(m_hwnd, control.id), control.styles & kStyleNumber);
        }
        if (control.kind == ControlKind::ListView) {
            m_lists.push_back(
                std::make_unique<Win32ListView>(GetDlgItem(m_hwnd, control.id), m_hwnd));
        }
    }
    OpenDialogs().insert(m_hwnd);
}

Win32DialogWindow::~Win32DialogWindow() {
    OpenDialogs().erase(m_hwnd);
    m_lists.clear();
    DestroyWindow(m_hwnd);
    for (const auto& [colour, brush] : m_brushes) DeleteObject(brush);
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* window = reinterpret_cast<Win32DialogWindow*>(lParam);
        window->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return TRUE;
    }
    auto* window = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return window != nullptr ? window->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case kMsgCheckSet:
            Notify(static_cast<int>(wParam), Notification::kToggled);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CONTEXTMENU:
            ShowContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return TRUE;
        case WM_SYSCOMMAND:
            return OnSystemCommand(wParam);
        case WM_CLOSE:
            m_onCancel();
            return TRUE;
        case WM_DROPFILES:
            DragFinish(reinterpret_cast<HDROP>(wParam));
            return TRUE;
    }
    return FALSE;
}

bool Win32DialogWindow::Notify(int id, Notification notification) {
    bool handled = false;
    // By index: a handler may bind another.
    for (size_t i = 0; i < m_handlers.size(); ++i) {
        if (m_handlers[i].id != id || m_handlers[i].notification != notification) continue;
        handled = true;
        std::function<void()> run = m_handlers[i].run;
        run();
    }
    return handled;
}

void Win32DialogWindow::OnCommand(int id, int code, HWND control) {
    if (code == EN_CHANGE) {
        Notify(id, Notification::kChange);
        return;
    }
    if (code != BN_CLICKED) return;
    bool handled = Notify(id, Notification::kClicked);
    if (control != nullptr &&
        (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        handled = Notify(id, Notification::kToggled) || handled;
    }
    // Escape, and Cancel where the dialog has no button for it; a dialog without a default
    // button gives Enter no meaning at all.
    if (!handled && id == IDCANCEL) m_onCancel();
}

INT_PTR Win32DialogWindow::OnCtlColorStatic(HDC dc, HWND control) {
    auto found = m_colours.find(control);
    if (found == m_colours.end()) return FALSE;
    ControlColours colours = found->second();
    if (!colours.background && !colours.textColour && !colours.textBackground) return FALSE;
    if (colours.textColour) SetTextColor(dc, *colours.textColour);
    if (colours.textBackground) {
        SetBkColor(dc, *colours.textBackground);
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    HBRUSH brush =
        colours.background ? SolidBrush(*colours.background) : GetSysColorBrush(COLOR_BTNFACE);
    return reinterpret_cast<INT_PTR>(brush);
}

// The record's brushes are colours; the system's are made once per colour and kept.
HBRUSH Win32DialogWindow::SolidBrush(COLORREF colour) {
    auto found = m_brushes.find(colour);
    if (found != m_brushes.end()) return found->second;
    return m_brushes.emplace(colour, CreateSolidBrush(colour)).first->second;
}

INT_PTR Win32DialogWindow::OnNotify(const NMHDR& header) {
    auto* list = static_cast<Win32ListView*>(ListView::Of(ToHandle(header.hwndFrom)));
    if (list == nullptr) return FALSE;
    // A dialog procedure answers a notification through the window's message result.
    SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, list->OnNotify(header));
    return TRUE;
}

// A request from the keyboard has no point: the menu goes to the middle of the control that has
// the focus.
void Win32DialogWindow::ShowContextMenu(HWND from, LPARAM place) {
    if (!m_onContextMenu) return;
    POINT at{static_cast<short>(LOWORD(place)), static_cast<short>(HIWORD(place))};
    if (place == -1) {
        RECT rect{};
        GetWindowRect(from != nullptr ? from : m_hwnd, &rect);
        at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    m_onContextMenu(at.x, at.y);
}

void Win32DialogWindow::AddToSystemMenu(std::span<const MenuItem> items,
                                        std::function<void(int id)> chosen) {
    HMENU menu = GetSystemMenu(m_hwnd, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const MenuItem& item : items) {
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), WideText(item.text).c_str());
        m_systemMenuIds.push_back(item.id);
    }
    m_onSystemMenu = std::move(chosen);
}

// The system keeps the low four bits of a command for itself.
bool Win32DialogWindow::OnSystemCommand(WPARAM command) {
    const int id = static_cast<int>(command & 0xFFF0);
    if (std::ranges::find(m_systemMenuIds, id) == m_systemMenuIds.end()) return false;
    m_onSystemMenu(id);
    return true;
}

bool Win32DialogWindow::IsIgnoredEnter(const MSG& msg) const {
    return !m_hasDefaultButton && msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN &&
           (msg.hwnd == m_hwnd || IsChild(m_hwnd, msg.hwnd));
}

int Win32DialogWindow::RunUntilEnded() {
    // Modal to its owner, as the system's own modal dialogs are.
    if (HWND owner = GetWindow(m_hwnd, GW_OWNER)) EnableWindow(owner, FALSE);
    ShowWindow(m_hwnd, SW_SHOW);
    MSG msg;
    while (!m_result) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The quit is for the loop outside this one.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            return IDCANCEL;
        }
        if (IsIgnoredEnter(msg) || PreTranslateDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return *m_result;
}

void Win32DialogWindow::End(int result) {
    m_result = result;
    // The owner is enabled before this hides, so that it, not another program, is activated.
    if (HWND owner = GetWindow(m_hwnd, GW_OWNER)) EnableWindow(owner, TRUE);
    ShowWindow(m_hwnd, SW_HIDE);
}

}  // namespace

// The Application key is let go: Windows turns it into a context menu request, as it does
// Shift+F10; Wine does not. Taken here, it makes one request on both.
bool PreTranslateDialogMessage(MSG& msg) {
    if (msg.wParam == VK_APPS && (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)) {
        if (msg.message == WM_KEYUP) {
            SendMessageW(msg.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(msg.hwnd), -1);
        }
        return true;
    }
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    return root != nullptr && OpenDialogs().contains(root) && IsDialogMessageW(root, &msg);
}

std::unique_ptr<DialogWindow> DialogWindow::Build(const DialogTemplate& dialogTemplate,
                                                  WndHandle* parent,
                                                  std::function<void()> onCancel) {
    return std::make_unique<Win32DialogWindow>(dialogTemplate, ToHwnd(parent), std::move(onCancel));
}
