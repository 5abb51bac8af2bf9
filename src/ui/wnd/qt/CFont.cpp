#include "ui/wnd/CFont.h"

#include "ui/wnd/qt/FontFamilies.h"
#include "ui/wnd/qt/QtHandles.h"

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreatePointFont(int nPointSize, const char* faceName) {
    m_font = std::make_unique<FontHandle>(MakeFont(faceName, nPointSize / 10.0));
    return true;
}
