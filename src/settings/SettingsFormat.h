#pragma once

#include "server/DiChannels.h"

#include <string>

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
};

// Applies one line as read (without its line end); true when it asks for the server to run.
bool ApplySettingsLine(std::string line, SettingsTarget& target);

struct SettingsValues {
    std::string title;
    std::string portText;
    std::string names[kDiChannels];  // DI1 first
    bool logging = false;
    bool serverRunning = false;
    std::string logFile;
};

// The ten lines the writer writes, each ending in "\n".
std::string FormatSettingsFile(const SettingsValues& values);

// A title or a name holding this pair could not be read back: saving refuses it.
inline constexpr char kKeyMarker[] = "#$";
