#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace nr::tools {

// A frame whose first byte is this marker is the three-byte form: marker, lead, state.
inline constexpr std::uint8_t kThreeByteMarker = 0xFA;
inline constexpr std::size_t kReplySize = 2;

using Reply = std::array<std::uint8_t, kReplySize>;

// One report as a unit sends it; the server answers with the lead and state bytes.
class Frame {
public:
    Frame(std::uint8_t lead, std::uint8_t state, bool threeByte);

    std::span<const std::uint8_t> Bytes() const { return {m_bytes.data(), m_size}; }
    Reply ExpectedReply() const { return {m_lead, m_state}; }

private:
    std::array<std::uint8_t, 3> m_bytes{};
    std::size_t m_size = 0;
    std::uint8_t m_lead = 0;
    std::uint8_t m_state = 0;
};

// "01 15": lower-case hex pairs separated by single spaces.
std::string FormatHexBytes(std::span<const std::uint8_t> bytes);

}  // namespace nr::tools
