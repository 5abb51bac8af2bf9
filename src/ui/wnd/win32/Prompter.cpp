#include "ui/wnd/Prompter.h"

#include "ui/wnd/CWnd.h"
#include "ui/wnd/DialogTemplate.h"
#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>
// Each needs windows.h before it.
#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {

// Room for the longest path the wide functions take.
constexpr size_t kPathChars = 32768;

HWND OwnerWindow(CWnd* owner) {
    if (owner == nullptr || owner->GetSafeHwnd() == nullptr) return nullptr;
    return GetAncestor(ToHwnd(owner->GetSafeHwnd()), GA_ROOT);
}

// "name|pattern|name|pattern||" is the system's own list with NULs for the bars.
std::wstring FilterList(const std::string& filter) {
    std::wstring list = WideText(filter);
    std::replace(list.begin(), list.end(), L'|', L'\0');
    return list + L'\0';
}

std::string Utf8(const wchar_t* wide) {
    int needed = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(needed > 0 ? needed : 1), '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), needed, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

// The system's own dialogs: their texts come in the system's language.
class Win32Prompter : public Prompter {
public:
    void ShowMessage(CWnd* owner, const std::string& caption, const std::string& text) override {
        MessageBoxW(OwnerWindow(owner), WideText(text).c_str(), WideText(caption).c_str(), MB_OK);
    }

    std::optional<std::string> ChooseFile(CWnd* owner, const FileDialogRequest& request) override {
        std::wstring filter = FilterList(request.filter);
        std::wstring extension = WideText(request.defaultExtension);
        std::vector<wchar_t> path(kPathChars, L'\0');
        std::wstring initial = WideText(request.initialPath);
        std::copy_n(initial.begin(), std::min(initial.size(), kPathChars - 1), path.begin());

        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = OwnerWindow(owner);
        dialog.lpstrFilter = filter.c_str();
        dialog.lpstrFile = path.data();
        dialog.nMaxFile = static_cast<DWORD>(path.size());
        dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        dialog.Flags = request.flags | OFN_EXPLORER;
        BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
        if (!chosen) return std::nullopt;
        return Utf8(path.data());
    }

    std::optional<int> ChooseMenuItem(CWnd* owner, std::span<const MenuItem> items, int x,
                                      int y) override {
        HMENU menu = CreatePopupMenu();
        for (const MenuItem& item : items) {
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id),
                        WideText(item.text).c_str());
        }
        HWND window = OwnerWindow(owner);
        // Only the foreground window's menu closes when the operator clicks elsewhere.
        SetForegroundWindow(window);
        const int chosen =
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, window, nullptr);
        DestroyMenu(menu);
        if (chosen == 0) return std::nullopt;
        return chosen;
    }
};

}  // namespace

Prompter& Prompter::System() {
    static Win32Prompter prompter;
    return prompter;
}
