#include "platform/Cp932.h"

#include <algorithm>

namespace cp932 {

char16_t TypedEquivalent(char16_t c) {
    switch (c) {
        case u'\u301C':
            return u'\uFF5E';  // WAVE DASH -> FULLWIDTH TILDE
        case u'\u2212':
            return u'\uFF0D';  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
        case u'\u2014':
            return u'\u2015';  // EM DASH -> HORIZONTAL BAR
        case u'\u2016':
            return u'\u2225';  // DOUBLE VERTICAL LINE -> PARALLEL TO
        default:
            return c;
    }
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string_view CutAtCharBoundary(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = 0;
    while (end < maxBytes) {
        size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

}  // namespace cp932
