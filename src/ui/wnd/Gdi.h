#pragma once

#include <cstdint>
#include <optional>

// Colour values as the window system gives them: 0x00BBGGRR. The names are the layer's own,
// so that they never meet the system's macros of the same meaning.
using ColourRef = uint32_t;

constexpr uint8_t RedOf(ColourRef colour) {
    return colour & 0xFF;
}
constexpr uint8_t GreenOf(ColourRef colour) {
    return (colour >> 8) & 0xFF;
}
constexpr uint8_t BlueOf(ColourRef colour) {
    return (colour >> 16) & 0xFF;
}

inline constexpr unsigned kCtlColorStatic = 6;

// A solid brush; the record creates its brushes once and hands out pointers to them.
class CBrush {
public:
    bool CreateSolidBrush(ColourRef colour) {
        m_colour = colour;
        return true;
    }
    ColourRef GetColor() const { return m_colour; }

private:
    ColourRef m_colour = 0;
};

// What a colour handler sets for the control about to paint.
class CDC {
public:
    void SetBkColor(ColourRef colour) { m_bkColor = colour; }
    void SetTextColor(ColourRef colour) { m_textColor = colour; }
    std::optional<ColourRef> BkColor() const { return m_bkColor; }
    std::optional<ColourRef> TextColor() const { return m_textColor; }

private:
    std::optional<ColourRef> m_bkColor;
    std::optional<ColourRef> m_textColor;
};
