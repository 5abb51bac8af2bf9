#include "settings/SettingsFormat.h"

#include "platform/Cp932.h"
#include "server/PortText.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

constexpr char kKeyTitle[] = "#$TITLEBAR=";
constexpr char kKeyPort[] = "#$PORT=";
constexpr char kKeyDiFormat[] = "#$DI%d=";
constexpr char kKeyLogging[] = "#$LOGGING=";
constexpr char kKeyServer[] = "#$SERVER=";
constexpr char kKeyLogFile[] = "#$LOGFILENAME=";
constexpr char kKeySilentSeconds[] = "#$SILENTSEC=";
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

// Newer keys are read only where they open the line, so that they never change what a line
// means to the ten keys' tests, nor those tests what it means to them.
std::optional<std::string_view> NewerKeyValue(std::string_view line, std::string_view key) {
    if (!line.starts_with(key)) return std::nullopt;
    return line.substr(key.size());
}

// A port that is none leaves the one set before it: the default, or an earlier line's.
void ApplyNewerKeys(std::string_view line, SettingsTarget& target) {
    if (auto value = NewerKeyValue(line, kKeySilentSeconds)) {
        if (std::optional<int> seconds = ParseSilentSeconds(*value))
            target.SetSilentSeconds(*seconds);
    }
    MqttSettings& mqtt = target.Mqtt();
    if (auto value = NewerKeyValue(line, kKeyMqttHost)) mqtt.host = *value;
    if (auto value = NewerKeyValue(line, kKeyMqttPort)) {
        const int port = ParsePortText(*value);
        if (IsBrokerPort(port)) mqtt.port = port;
    }
    if (auto value = NewerKeyValue(line, kKeyMqttTopic)) mqtt.topic = *value;
    if (auto value = NewerKeyValue(line, kKeyMqttUser)) mqtt.user = *value;
    if (auto value = NewerKeyValue(line, kKeyMqttPassword)) mqtt.password = *value;
    if (auto value = NewerKeyValue(line, kKeyMqttDiscovery))
        mqtt.discovery = value->starts_with(kValueOn);
}

void AppendNewerKeys(std::string& text, const SettingsValues& values) {
    auto addIfSet = [&text](std::string_view key, std::string_view value, bool isDefault) {
        if (!isDefault) text.append(key).append(value).append("\n");
    };
    addIfSet(kKeySilentSeconds, std::to_string(values.silentSeconds),
             values.silentSeconds == kDefaultSilentSeconds);
    const MqttSettings& mqtt = values.mqtt;
    const MqttSettings defaults;
    addIfSet(kKeyMqttHost, mqtt.host, mqtt.host == defaults.host);
    addIfSet(kKeyMqttPort, std::to_string(mqtt.port), mqtt.port == defaults.port);
    addIfSet(kKeyMqttTopic, mqtt.topic, mqtt.topic == defaults.topic);
    addIfSet(kKeyMqttUser, mqtt.user, mqtt.user == defaults.user);
    addIfSet(kKeyMqttPassword, mqtt.password, mqtt.password == defaults.password);
    addIfSet(kKeyMqttDiscovery, kValueOn, mqtt.discovery == defaults.discovery);
}

}  // namespace

void ApplyNewerKeyDefaults(SettingsTarget& target) {
    target.SetSilentSeconds(kDefaultSilentSeconds);
    target.Mqtt() = MqttSettings{};
}

bool ApplySettingsLine(std::string line, SettingsTarget& target) {
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    ApplyNewerKeys(line, target);
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
    AppendNewerKeys(text, values);
    return text;
}
