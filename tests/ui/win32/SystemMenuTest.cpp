#include "Strings.h"
#include "resource.h"
#include "ui/support/WindowTest.h"
#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>

namespace {

// Windows keeps a window's own additions in its system menu (Alt+Space): the context menu's
// entries are there too, and work from there.
TEST_F(WindowTest, TheSystemMenuOpensTheUnitList) {
    Open();
    HWND window = ToHwnd(Window());
    HMENU menu = GetSystemMenu(window, FALSE);
    wchar_t text[64] = L"";
    GetMenuStringW(menu, IDM_UNIT_LIST, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), WideText(kTextMenuUnitList));
    // The system keeps the low four bits of the command for itself.
    SendMessageW(window, WM_SYSCOMMAND, IDM_UNIT_LIST | 0x3, 0);
    EXPECT_TRUE(Dialog().m_dlgUnits.IsOpen());
}

}  // namespace
