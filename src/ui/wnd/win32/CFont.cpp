#include "ui/wnd/CFont.h"

#include "ui/wnd/win32/Win32Handles.h"

#include <windows.h>

CFont::CFont() = default;
CFont::~CFont() = default;

FontHandle::~FontHandle() {
    DeleteObject(font);
}

bool CFont::CreatePointFont(int nPointSize, const char* faceName) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(nPointSize, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, WideText(faceName).c_str());
    if (font == nullptr) return false;
    m_font = std::make_unique<FontHandle>(font);
    return true;
}
