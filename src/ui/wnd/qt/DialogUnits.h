#pragma once

#include <QFont>
#include <QRect>

// Dialog units to pixels, as the window system converts them with the dialog font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    QRect ToPixels(int x, int y, int cx, int cy) const {
        return QRect(x * m_baseX / 4, y * m_baseY / 8, cx * m_baseX / 4, cy * m_baseY / 8);
    }
    int Width(int cx) const { return cx * m_baseX / 4; }

private:
    int m_baseX;
    int m_baseY;
};
