#include "mqtt/BrokerReader.h"
#include "mqtt/MqttPackets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// The bytes a broker must read: flags, lengths and the order of fields of MQTT 3.1.1.
TEST(MqttPackets, EncodeAsTheProtocolLaysOut) {
    mqtt::ConnectRequest full{"c", 30, "s", "offline", 1, true, "u", "p"};
    mqtt::ConnectRequest noPassword{"c", 0, "", "", 0, false, "u", ""};
    mqtt::ConnectRequest passwordOnly{"c", 0, "", "", 0, false, "", "p"};
    struct Case {
        const char* what;
        std::string packet;
        std::string bytes;
    } cases[] = {
        {"connect with will, user and password", mqtt::EncodeConnect(full),
         "\x10\x1f\0\x04MQTT\x04\xee\0\x1e\0\x01"
         "c\0\x01s\0\x07offline\0\x01u\0\x01p"s},
        {"an empty password is not sent", mqtt::EncodeConnect(noPassword),
         "\x10\x10\0\x04MQTT\x04\x82\0\0\0\x01"
         "c\0\x01u"s},
        {"no password without a user", mqtt::EncodeConnect(passwordOnly),
         "\x10\x0d\0\x04MQTT\x04\x02\0\0\0\x01"
         "c"s},
        {"QoS 1, retained", mqtt::EncodePublish({"a/b", "1", 1, true}, 0x0102),
         "\x33\x08\0\x03"
         "a/b\x01\x02"
         "1"s},
        {"QoS 0 has no packet id", mqtt::EncodePublish({"a/b", "1", 0, false}, 7),
         "\x30\x06\0\x03"
         "a/b1"s},
        {"ping", mqtt::EncodePingRequest(), "\xc0\0"s},
        {"disconnect", mqtt::EncodeDisconnect(), "\xe0\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.packet, c.bytes);
    }
}

std::string Describe(const std::vector<mqtt::BrokerPacket>& packets) {
    std::string text;
    for (const mqtt::BrokerPacket& p : packets) {
        text +=
            p.kind == mqtt::BrokerPacket::kConnAck
                ? "connack " + std::to_string(p.returnCode) + (p.sessionPresent ? "+" : "") + ";"
            : p.kind == mqtt::BrokerPacket::kPubAck ? "puback " + std::to_string(p.packetId) + ";"
                                                    : "pingresp;";
    }
    return text;
}

// What a broker may send this client is read however it is split; anything else fails the
// reader for good, and what came before it still counts.
TEST(BrokerReader, ReadsAnswersAndRefusesTheRest) {
    struct Case {
        std::string bytes;
        std::string packets;
        bool ok;
    } cases[] = {
        {"\x20\x02\0\0"s, "connack 0;", true},
        {"\x20\x02\x01\x04"s, "connack 4+;", true},
        {"\x40\x02\x12\x34\xd0\0"s, "puback 4660;pingresp;", true},
        {"\x40\x82\0\x01\x02"s, "puback 258;", true},  // a length in more bytes than it needs
        {"\x40\x02\0\x01\x30\x02\0\0\x40\x02\0\x02"s, "puback 1;",
         false},                                   // PUBLISH: none subscribed
        {"\x21\x02\0\0"s, "", false},              // reserved flags
        {"\x20\x03\0\0\0"s, "", false},            // CONNACK is two bytes long
        {"\x20\x02\x02\0"s, "", false},            // reserved acknowledge flags
        {"\xd0\x80\x80\x80\x80\x01"s, "", false},  // a fifth length byte
        {"\x90\x03\0\x01\0"s, "", false},          // SUBACK: nothing was asked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        mqtt::BrokerReader whole;
        std::vector<mqtt::BrokerPacket> packets;
        EXPECT_EQ(whole.Feed(c.bytes, packets), c.ok);
        EXPECT_EQ(Describe(packets), c.packets);
        EXPECT_EQ(whole.Feed("\xd0\0"s, packets), c.ok) << "failed for good";

        mqtt::BrokerReader bytewise;
        packets.clear();
        bool ok = true;
        for (char byte : c.bytes) ok = bytewise.Feed(std::string(1, byte), packets);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(Describe(packets), c.packets);
    }
}

}  // namespace
