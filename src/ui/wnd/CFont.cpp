#include "ui/wnd/CFont.h"

#include "ui/wnd/FontFamilies.h"

#include <QFont>

CFont::CFont() = default;
CFont::~CFont() = default;

bool CFont::CreatePointFont(int nPointSize, const char* faceName) {
    m_font = std::make_unique<QFont>(MakeFont(faceName, nPointSize / 10.0));
    return true;
}
