#pragma once

#include "mqtt/MqttSettings.h"
#include "server/DiChannels.h"
#include "units/SilentTime.h"

#include <array>
#include <string>
#include <string_view>

// The settings file: lines of a key ("#$" ... "=") followed by its value. Files written by the
// Windows version and files in the field rely on the reader's exact way of finding keys.

// Where the values a settings line brings go.
class SettingsTarget {
public:
    virtual ~SettingsTarget() = default;
    virtual void SetPortText(const std::string& text) = 0;
    virtual void SetDiName(int channel, const std::string& name) = 0;  // channel 0 is DI1
    virtual void SetLogging(bool on) = 0;
    virtual void SetLogFile(const std::string& path) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The broker's keys, after the ten lines: each sets its field and leaves the others.
    virtual MqttSettings& Mqtt() = 0;
    virtual void SetSilentSeconds(int seconds) = 0;
};

// Applies one line as read (without its line end); true when it asks for the server to run.
bool ApplySettingsLine(std::string line, SettingsTarget& target);
// Before a file's lines: a newer key the file leaves out holds its default, as the writer leaves
// out a default, and not what the file read before set.
void ApplyNewerKeyDefaults(SettingsTarget& target);

struct SettingsValues {
    std::string title;
    std::string portText;
    std::array<std::string, kDiChannels> names;  // DI1 first
    bool logging = false;
    bool serverRunning = false;
    std::string logFile;
    int silentSeconds = kDefaultSilentSeconds;
    MqttSettings mqtt;
};

// The ten lines the writer has always written, each ending in "\n", then each newer key whose
// value is not its default: a file that keeps to the defaults is the ten lines alone, and the
// Windows version of old skips keys it does not know.
std::string FormatSettingsFile(const SettingsValues& values);

// The values a settings file brings, for a program without controls to put them in; what the
// file does not name keeps the value it had.
class SettingsCollector : public SettingsTarget {
public:
    explicit SettingsCollector(SettingsValues initial) : values(std::move(initial)) {}

    void SetPortText(const std::string& text) override { values.portText = text; }
    void SetDiName(int channel, const std::string& name) override { values.names[channel] = name; }
    void SetLogging(bool on) override { values.logging = on; }
    void SetLogFile(const std::string& path) override { values.logFile = path; }
    void SetTitle(const std::string& title) override { values.title = title; }
    MqttSettings& Mqtt() override { return values.mqtt; }
    void SetSilentSeconds(int seconds) override { values.silentSeconds = seconds; }

    SettingsValues values;
};

// A title or a name holding this pair could not be read back: saving refuses it. So does the
// broker's dialog for its texts: a value holding a key would set that key, here and in every
// reader of old.
inline constexpr char kKeyMarker[] = "#$";
inline bool HoldsKeyMarker(std::string_view text) {
    return text.find(kKeyMarker) != std::string_view::npos;
}
