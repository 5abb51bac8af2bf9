#pragma once

#include <cstdint>
#include <string>

// The packets this client sends, as MQTT 3.1.1 lays them out. Strings longer than the protocol's
// 65,535 bytes are cut there; nothing the program publishes comes near it.
namespace mqtt {

// A CONNECT always asks for a clean session: what a broker kept from an earlier one is of no use.
struct ConnectRequest {
    std::string clientId;  // UTF-8
    uint16_t keepAliveSeconds = 0;
    std::string willTopic;  // empty: no will
    std::string willPayload;
    int willQos = 0;
    bool willRetain = false;
    // The protocol allows no password without a user name: an empty user name sends neither,
    // and an empty password is not sent.
    std::string userName;
    std::string password;
};

struct Message {
    std::string topic;  // UTF-8, no wildcards
    std::string payload;
    int qos = 1;  // 0 or 1
    bool retain = true;
};

// Fixed-header packet types, in the high nibble of the first byte.
inline constexpr uint8_t kConnect = 1;
inline constexpr uint8_t kConnAck = 2;
inline constexpr uint8_t kPublish = 3;
inline constexpr uint8_t kPubAck = 4;
inline constexpr uint8_t kPingReq = 12;
inline constexpr uint8_t kPingResp = 13;
inline constexpr uint8_t kDisconnect = 14;

std::string EncodeConnect(const ConnectRequest& request);
// The packet id is written for QoS 1 only.
std::string EncodePublish(const Message& message, uint16_t packetId);
std::string EncodePingRequest();
std::string EncodeDisconnect();

}  // namespace mqtt
