#include "ui/wnd/CIcon.h"

#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>

#include <map>
#include <string>

namespace {

HICON LoadSize(const std::wstring& name, int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name.c_str(), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY),
                                         LR_DEFAULTCOLOR));
}

}  // namespace

// The executable's icon resource of that name, in the sizes the system draws captions and the
// task bar with: the system picks the nearest of the sizes the resource carries.
const CIcon* LoadIconResource(const char* name) {
    static std::map<std::string, CIcon> icons;  // UI thread only
    auto found = icons.find(name);
    if (found != icons.end()) return &found->second;
    std::wstring resource = WideText(name);
    CIcon icon;
    icon.bigIcon = LoadSize(resource, SM_CXICON, SM_CYICON);
    icon.smallIcon = LoadSize(resource, SM_CXSMICON, SM_CYSMICON);
    return &icons.emplace(name, icon).first->second;
}
