#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mqtt {

// What a broker sends this client. It subscribes to nothing, so no PUBLISH ever comes.
struct BrokerPacket {
    enum Kind { kConnAck, kPubAck, kPingResp };
    Kind kind = kPingResp;
    uint8_t returnCode = 0;  // CONNACK: 0 when the connection is accepted
    bool sessionPresent = false;
    uint16_t packetId = 0;  // PUBACK
};

// CONNACK return codes.
inline constexpr uint8_t kAccepted = 0;
inline constexpr uint8_t kRefusedBadUserNameOrPassword = 4;
inline constexpr uint8_t kRefusedNotAuthorized = 5;

// Assembles the broker's packets from bytes as they arrive, however they are split. Anything no
// broker may send this client fails the reader for good: the connection is then of no use.
class BrokerReader {
public:
    // The remaining length takes at most four bytes in MQTT 3.1.1.
    static constexpr size_t kMaxLengthBytes = 4;
    // The longest packet body this client takes: CONNACK's and PUBACK's two bytes.
    static constexpr size_t kMaxBody = 2;

    // Packets made whole by these bytes go to out, in order; false once failed.
    bool Feed(std::string_view bytes, std::vector<BrokerPacket>& out);

private:
    bool TakeFixedHeader(uint8_t byte);
    bool TakeLengthByte(uint8_t byte);
    bool Complete(std::vector<BrokerPacket>& out);

    enum class Stage { kFixedHeader, kLength, kBody };
    Stage m_stage = Stage::kFixedHeader;
    bool m_failed = false;
    uint8_t m_type = 0;
    size_t m_length = 0;
    size_t m_lengthBytes = 0;
    uint8_t m_body[kMaxBody] = {};
    size_t m_bodySize = 0;
};

}  // namespace mqtt
