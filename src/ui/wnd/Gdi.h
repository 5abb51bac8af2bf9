#pragma once

#include <cstdint>
#include <optional>

// Colour values as the window system gives them: 0x00BBGGRR.
using COLORREF = uint32_t;

constexpr uint8_t GetRValue(COLORREF colour) {
    return colour & 0xFF;
}
constexpr uint8_t GetGValue(COLORREF colour) {
    return (colour >> 8) & 0xFF;
}
constexpr uint8_t GetBValue(COLORREF colour) {
    return (colour >> 16) & 0xFF;
}

inline constexpr unsigned CTLCOLOR_STATIC = 6;

// A solid brush; the record creates its brushes once and hands out pointers to them.
class CBrush {
public:
    bool CreateSolidBrush(COLORREF colour) {
        m_colour = colour;
        return true;
    }
    COLORREF GetColor() const { return m_colour; }

private:
    COLORREF m_colour = 0;
};

using HBRUSH = const CBrush*;

// What a colour handler sets for the control about to paint.
class CDC {
public:
    void SetBkColor(COLORREF colour) { m_bkColor = colour; }
    void SetTextColor(COLORREF colour) { m_textColor = colour; }
    std::optional<COLORREF> BkColor() const { return m_bkColor; }
    std::optional<COLORREF> TextColor() const { return m_textColor; }

private:
    std::optional<COLORREF> m_bkColor;
    std::optional<COLORREF> m_textColor;
};
