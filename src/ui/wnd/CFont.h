#pragma once

#include <memory>

class QFont;

// The Windows gothic faces in CP932, "ＭＳ ゴシック" and "ＭＳ Ｐゴシック": families drawn to
// their metrics stand in for them here.
inline constexpr char kFaceGothic[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
inline constexpr char kFacePGothic[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

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
