#include "mqtt/BrokerReader.h"

#include "mqtt/MqttPackets.h"

namespace mqtt {
namespace {

// The body each packet a broker may send this client carries; other types are refused.
constexpr size_t kNoSuchType = ~size_t{0};

size_t BodyLengthOf(uint8_t type) {
    switch (type) {
        case kConnAck:
        case kPubAck:
            return 2;
        case kPingResp:
            return 0;
        default:
            return kNoSuchType;
    }
}

}  // namespace

bool BrokerReader::Feed(std::string_view bytes, std::vector<BrokerPacket>& out) {
    for (const char c : bytes) {
        if (m_failed) break;
        const auto byte = static_cast<uint8_t>(c);
        switch (m_stage) {
            case Stage::kFixedHeader:
                m_failed = !TakeFixedHeader(byte);
                break;
            case Stage::kLength:
                m_failed = !TakeLengthByte(byte);
                break;
            case Stage::kBody:
                m_body[m_bodySize++] = byte;
                break;
        }
        if (!m_failed && m_stage == Stage::kBody && m_bodySize == m_length) {
            m_failed = !Complete(out);
        }
    }
    return !m_failed;
}

// The flags of these three types are reserved as zero.
bool BrokerReader::TakeFixedHeader(uint8_t byte) {
    m_type = byte >> 4;
    if ((byte & 0x0F) != 0 || BodyLengthOf(m_type) == kNoSuchType) return false;
    m_length = 0;
    m_lengthBytes = 0;
    m_stage = Stage::kLength;
    return true;
}

bool BrokerReader::TakeLengthByte(uint8_t byte) {
    m_length |= static_cast<size_t>(byte & 0x7F) << (7 * m_lengthBytes);
    ++m_lengthBytes;
    if (byte & 0x80) return m_lengthBytes < kMaxLengthBytes;
    if (m_length != BodyLengthOf(m_type)) return false;
    m_bodySize = 0;
    m_stage = Stage::kBody;
    return true;
}

bool BrokerReader::Complete(std::vector<BrokerPacket>& out) {
    BrokerPacket packet;
    if (m_type == kConnAck) {
        // Bits 7 to 1 of the acknowledge flags are reserved.
        if (m_body[0] & 0xFE) return false;
        packet.kind = BrokerPacket::kConnAck;
        packet.sessionPresent = m_body[0] & 1;
        packet.returnCode = m_body[1];
    } else if (m_type == kPubAck) {
        packet.kind = BrokerPacket::kPubAck;
        packet.packetId = static_cast<uint16_t>(m_body[0] << 8 | m_body[1]);
    }
    out.push_back(packet);
    m_stage = Stage::kFixedHeader;
    return true;
}

}  // namespace mqtt
