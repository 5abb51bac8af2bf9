#include "Frame.h"

#include <cstdio>

namespace nr::tools {

Frame::Frame(std::uint8_t lead, std::uint8_t state, bool threeByte) : m_lead(lead), m_state(state) {
    if (threeByte) {
        m_bytes = {kThreeByteMarker, lead, state};
        m_size = 3;
    } else {
        m_bytes = {lead, state, 0};
        m_size = 2;
    }
}

std::string FormatHexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(byte));
        if (!text.empty()) text += ' ';
        text += pair;
    }
    return text;
}

}  // namespace nr::tools
