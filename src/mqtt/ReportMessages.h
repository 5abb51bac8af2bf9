#pragma once

#include "mqtt/MqttPackets.h"
#include "server/DiChannels.h"

#include <array>
#include <ctime>
#include <string>

struct Report;

// What the operator has named, in UTF-8 as topics and payloads carry it.
struct PublishedLabels {
    std::string title;                           // the window title, which names each device
    std::array<std::string, kDiChannels> names;  // DI1 first
};

// The topics and payloads of one instance, all under its prefix (UTF-8):
//   <prefix>/status                         online, or offline as the will and at a clean stop
//   <prefix>/units/<address>/state          JSON of the last report
//   <prefix>/units/<address>/di1 ... di5    1 or 0
//   <prefix>/units/<address>/availability   online, or offline while the unit is silent
//   homeassistant/binary_sensor/<node>/diN/config   discovery, when asked for
class ReportMessages {
public:
    explicit ReportMessages(std::string prefix) : m_prefix(std::move(prefix)) {}

    std::string StatusTopic() const { return m_prefix + "/status"; }
    mqtt::Message Status(bool online) const;
    mqtt::Message State(const Report& report, const PublishedLabels& labels) const;
    mqtt::Message Input(const std::string& address, int channel, bool on) const;
    mqtt::Message Availability(const std::string& address, bool online) const;
    mqtt::Message Discovery(const std::string& address, int channel,
                            const PublishedLabels& labels) const;

private:
    std::string UnitTopic(const std::string& address, const std::string& leaf) const;

    const std::string m_prefix;
};

// ISO 8601 local time with its offset from UTC: 2026-12-08T09:30:15+09:00.
std::string FormatLocalTime(const std::tm& local, long utcOffsetSeconds);
