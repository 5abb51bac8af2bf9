#include "mqtt/MqttSettings.h"

std::string DefaultTopicPrefix(const std::string& computerName, int serverPort) {
    return "nr-qd8k/" + computerName + "/" + std::to_string(serverPort);
}

std::string TopicPrefix(const MqttSettings& settings, const std::string& computerName,
                        int serverPort) {
    return settings.topic.empty() ? DefaultTopicPrefix(computerName, serverPort) : settings.topic;
}
