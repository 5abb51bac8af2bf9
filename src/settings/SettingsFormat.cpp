#include "settings/SettingsFormat.h"

#include "platform/Cp932.h"
#include "server/PortText.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr char kKeyTitle[] = "#$TITLEBAR=";
constexpr char kKeyPort[] = "#$PORT=";
constexpr char kKeyDiFormat[] = "#$DI%d=";
constexpr char kKeyLogging[] = "#$LOGGING=";
constexpr char kKeyServer[] = "#$SERVER=";
constexpr char kKeyLogFile[] = "#$LOGFILENAME=";
constexpr char kKeyMqttHost[] = "#$MQTTHOST=";
constexpr char kKeyMqttPort[] = "#$MQTTPORT=";
constexpr char kKeyMqttTopic[] = "#$MQTTTOPIC=";
constexpr char kKeyMqttUser[] = "#$MQTTUSER=";
constexpr char kKeyMqttPassword[] = "#$MQTTPASSWORD=";
constexpr char kKeyMqttDiscovery[] = "#$MQTTDISCOVERY=";
constexpr std::string_view kValueOn = "ON";
constexpr std::string_view kServerStart = "START";

std::string DiKey(int number) {
    char key[16];
    std::snprintf(key, sizeof key, kKeyDiFormat, number);
    return key;
}

// Where the key stands does not matter: as many bytes as the key is long go from the line's
// start. Files in the field depend on this.
bool TakeKey(std::string& line, std::string_view key) {
    if (line.find(key) == std::string::npos) return false;
    line.erase(0, std::min(key.size(), line.size()));
    return true;
}

// Tested after the keys of old, in the same way; a port that is none leaves the one there was.
void ApplyMqttKeys(std::string& line, MqttSettings& mqtt) {
    if (TakeKey(line, kKeyMqttHost)) mqtt.host = line;
    if (TakeKey(line, kKeyMqttPort)) {
        const int port = ParsePortText(line);
        if (port >= 1 && port <= kMaxPort) mqtt.port = port;
    }
    if (TakeKey(line, kKeyMqttTopic)) mqtt.topic = line;
    if (TakeKey(line, kKeyMqttUser)) mqtt.user = line;
    if (TakeKey(line, kKeyMqttPassword)) mqtt.password = line;
    if (TakeKey(line, kKeyMqttDiscovery)) mqtt.discovery = line.starts_with(kValueOn);
}

void AppendMqttKeys(std::string& text, const MqttSettings& mqtt) {
    const MqttSettings defaults;
    auto addIfSet = [&text](std::string_view key, std::string_view value, bool isDefault) {
        if (!isDefault) text.append(key).append(value).append("\n");
    };
    addIfSet(kKeyMqttHost, mqtt.host, mqtt.host == defaults.host);
    addIfSet(kKeyMqttPort, std::to_string(mqtt.port), mqtt.port == defaults.port);
    addIfSet(kKeyMqttTopic, mqtt.topic, mqtt.topic == defaults.topic);
    addIfSet(kKeyMqttUser, mqtt.user, mqtt.user == defaults.user);
    addIfSet(kKeyMqttPassword, mqtt.password, mqtt.password == defaults.password);
    addIfSet(kKeyMqttDiscovery, "ON", mqtt.discovery == defaults.discovery);
}

}  // namespace

bool ApplySettingsLine(std::string line, SettingsTarget& target) {
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    bool startRequested = false;
    if (TakeKey(line, kKeyPort)) target.SetPortText(line);
    for (int number = 1; number <= kDiChannels; ++number) {
        if (TakeKey(line, DiKey(number))) {
            // Cut where a character ends: half a double-byte character would show as garbage.
            target.SetDiName(number - 1,
                             std::string(cp932::CutAtCharBoundary(line, kDiNameLimitBytes)));
        }
    }
    if (TakeKey(line, kKeyLogging)) target.SetLogging(line.starts_with(kValueOn));
    if (TakeKey(line, kKeyServer) && line.starts_with(kServerStart)) startRequested = true;
    if (TakeKey(line, kKeyLogFile)) target.SetLogFile(line);
    if (TakeKey(line, kKeyTitle)) target.SetTitle(line);
    ApplyMqttKeys(line, target.Mqtt());
    return startRequested;
}

std::string FormatSettingsFile(const SettingsValues& values) {
    std::string text;
    auto addLine = [&text](std::string_view key, std::string_view value) {
        text.append(key).append(value).append("\n");
    };
    addLine(kKeyTitle, values.title);
    addLine(kKeyPort, values.portText);
    for (int number = 1; number <= kDiChannels; ++number)
        addLine(DiKey(number), values.names[number - 1]);
    addLine(kKeyLogging, values.logging ? "ON" : "OFF");
    addLine(kKeyServer, values.serverRunning ? "START" : "STOP");
    addLine(kKeyLogFile, values.logFile);
    AppendMqttKeys(text, values.mqtt);
    return text;
}
