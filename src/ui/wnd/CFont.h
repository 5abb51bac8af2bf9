#pragma once

#include <memory>

class QFont;

// A font made once and kept by its owner for as long as controls use it.
class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // nPointSize in tenths of a point; the face name in CP932. Families that stand in for the
    // Windows fonts on this system are asked for after it.
    bool CreatePointFont(int nPointSize, const char* faceName);
    const QFont* GetFont() const { return m_font.get(); }

private:
    std::unique_ptr<QFont> m_font;
};
