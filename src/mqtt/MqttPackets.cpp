#include "mqtt/MqttPackets.h"

#include <string_view>

namespace mqtt {
namespace {

constexpr uint8_t kProtocolLevel311 = 4;
constexpr size_t kMaxStringBytes = 65535;

// CONNECT flags.
constexpr uint8_t kFlagUserName = 0x80;
constexpr uint8_t kFlagPassword = 0x40;
constexpr uint8_t kFlagWillRetain = 0x20;
constexpr int kWillQosShift = 3;
constexpr uint8_t kFlagWill = 0x04;
constexpr uint8_t kFlagCleanSession = 0x02;

void AppendU16(std::string& out, size_t value) {
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

void AppendString(std::string& out, std::string_view text) {
    text = text.substr(0, kMaxStringBytes);
    AppendU16(out, text.size());
    out.append(text);
}

// Seven bits a byte, least significant first; the high bit says another byte follows.
std::string Packet(uint8_t firstByte, const std::string& body) {
    std::string packet(1, static_cast<char>(firstByte));
    size_t length = body.size();
    do {
        uint8_t digit = length % 128;
        length /= 128;
        if (length > 0) digit |= 0x80;
        packet.push_back(static_cast<char>(digit));
    } while (length > 0);
    return packet + body;
}

}  // namespace

std::string EncodeConnect(const ConnectRequest& request) {
    const bool will = !request.willTopic.empty();
    const bool user = !request.userName.empty();
    const bool password = user && !request.password.empty();
    uint8_t flags = kFlagCleanSession;
    if (will) {
        flags |= kFlagWill | static_cast<uint8_t>(request.willQos << kWillQosShift);
        if (request.willRetain) flags |= kFlagWillRetain;
    }
    if (user) flags |= kFlagUserName;
    if (password) flags |= kFlagPassword;
    std::string body;
    AppendString(body, "MQTT");
    body.push_back(static_cast<char>(kProtocolLevel311));
    body.push_back(static_cast<char>(flags));
    AppendU16(body, request.keepAliveSeconds);
    AppendString(body, request.clientId);
    if (will) {
        AppendString(body, request.willTopic);
        AppendString(body, request.willPayload);
    }
    if (user) AppendString(body, request.userName);
    if (password) AppendString(body, request.password);
    return Packet(kConnect << 4, body);
}

std::string EncodePublish(const Message& message, uint16_t packetId) {
    std::string body;
    AppendString(body, message.topic);
    if (message.qos > 0) AppendU16(body, packetId);
    body.append(message.payload);
    const uint8_t first =
        static_cast<uint8_t>(kPublish << 4 | (message.qos & 1) << 1 | (message.retain ? 1 : 0));
    return Packet(first, body);
}

std::string EncodePingRequest() {
    return Packet(kPingReq << 4, "");
}

std::string EncodeDisconnect() {
    return Packet(kDisconnect << 4, "");
}

}  // namespace mqtt
