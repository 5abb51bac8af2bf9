#pragma once

#include <memory>

// The Windows gothic faces in CP932, "ＭＳ ゴシック" and "ＭＳ Ｐゴシック".
inline constexpr char kFaceGothic[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
inline constexpr char kFacePGothic[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

// The window system's font; each back end defines it.
struct FontHandle;

// A font made once and kept by its owner for as long as controls use it.
class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // nPointSize in tenths of a point; the face name in CP932. Where the system lacks the
    // Windows face, families drawn to its metrics stand in for it.
    bool CreatePointFont(int nPointSize, const char* faceName);
    const FontHandle* GetFont() const { return m_font.get(); }

private:
    std::unique_ptr<FontHandle> m_font;
};
