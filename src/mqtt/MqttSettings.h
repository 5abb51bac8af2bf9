#pragma once

#include <string>

// The broker the reports are published to, as the settings file keeps it. Texts are CP932.
struct MqttSettings {
    static constexpr int kDefaultPort = 1883;

    std::string host;  // empty: nothing is published
    int port = kDefaultPort;
    std::string topic;  // the topic prefix; empty: DefaultTopicPrefix
    std::string user;
    std::string password;  // as the operator typed it, and as the file holds it
    bool discovery = false;

    bool operator==(const MqttSettings&) const = default;
};

// nr-qd8k/<computer name>/<port>: two instances on one broker stay apart, on one computer or
// on several.
std::string DefaultTopicPrefix(const std::string& computerName, int serverPort);

inline bool IsBrokerPort(int port) {
    return port >= 1 && port <= 65535;
}

// Wildcards subscribe; a topic published to may hold neither.
inline bool HoldsTopicWildcard(const std::string& topic) {
    return topic.find_first_of("+#") != std::string::npos;
}

// The prefix in effect.
std::string TopicPrefix(const MqttSettings& settings, const std::string& computerName,
                        int serverPort);
