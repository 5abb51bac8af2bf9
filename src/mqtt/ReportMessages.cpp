#include "mqtt/ReportMessages.h"

#include "platform/LocalTime.h"
#include "server/Report.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";
constexpr char kDiscoveryPrefix[] = "homeassistant/binary_sensor/";

std::string InputLeaf(int channel) {
    return "di" + std::to_string(channel + 1);
}

// Home Assistant takes only these in ids and topic levels of its own. The bytes of a character
// beyond ASCII go in as hex digits: as '_' each, two Japanese prefixes of one length would be one.
std::string DiscoveryId(const std::string& text) {
    std::string id;
    for (const char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (plain) {
            id += c;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            id += '_';
        } else {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(c));
            id += hex;
        }
    }
    return id;
}

// A JSON string literal, quotes included.
std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string FormatLocalTime(const std::tm& local, long utcOffsetSeconds) {
    const int minutes = static_cast<int>(std::labs(utcOffsetSeconds) / 60 % (24 * 60));
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, utcOffsetSeconds < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

std::string ReportMessages::UnitTopic(const std::string& address, const std::string& leaf) const {
    return m_prefix + "/units/" + address + "/" + leaf;
}

mqtt::Message ReportMessages::Status(bool online) const {
    return {StatusTopic(), online ? kOnline : kOffline};
}

mqtt::Message ReportMessages::State(const Report& report, const PublishedLabels& labels) const {
    std::string json =
        "{\"unit\":" + JsonString(report.unitAddress) + ",\"time\":" +
        JsonString(FormatLocalTime(LocalTimeOf(report.time), UtcOffsetOf(report.time))) +
        ",\"di\":[";
    for (int i = 0; i < kDiChannels; ++i)
        json += (i ? "," : "") + std::string(report.Input(i) ? "1" : "0");
    json += "],\"names\":[";
    for (int i = 0; i < kDiChannels; ++i) json += (i ? "," : "") + JsonString(labels.names[i]);
    return {UnitTopic(report.unitAddress, "state"), json + "]}"};
}

mqtt::Message ReportMessages::Input(const std::string& address, int channel, bool on) const {
    return {UnitTopic(address, InputLeaf(channel)), on ? "1" : "0"};
}

mqtt::Message ReportMessages::Availability(const std::string& address, bool online) const {
    return {UnitTopic(address, "availability"), online ? kOnline : kOffline};
}

// One binary sensor per unit and input, grouped into a device per unit. Both availability
// topics must say online: the instance serves, and the unit reports.
mqtt::Message ReportMessages::Discovery(const std::string& address, int channel,
                                        const PublishedLabels& labels) const {
    const std::string device = DiscoveryId(m_prefix + "_" + address);
    const std::string leaf = InputLeaf(channel);
    std::string json = "{\"name\":" + JsonString(labels.names[channel]) +
                       ",\"unique_id\":" + JsonString(device + "_" + leaf) +
                       ",\"state_topic\":" + JsonString(UnitTopic(address, leaf)) +
                       ",\"payload_on\":\"1\",\"payload_off\":\"0\"" +
                       ",\"availability\":[{\"topic\":" + JsonString(StatusTopic()) +
                       "},{\"topic\":" + JsonString(UnitTopic(address, "availability")) +
                       "}],\"availability_mode\":\"all\"" + ",\"device\":{\"identifiers\":[" +
                       JsonString(device) +
                       "],\"name\":" + JsonString(labels.title + " " + address) + "}}";
    return {kDiscoveryPrefix + device + "/" + leaf + "/config", json};
}
