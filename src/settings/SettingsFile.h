#pragma once

#include "settings/SettingsFormat.h"

#include <optional>
#include <string>

class ServerListener;

struct SettingsRead {
    bool opened = false;
    bool readFailed = false;      // it opened, but not every line could be read
    bool startRequested = false;  // it asks for the server to run
};

// Applies the settings file at a full path to the target line by line, tracing what it reads as
// the trace pane has always shown it.
SettingsRead ReadSettingsFile(const std::string& path, SettingsTarget& target,
                              ServerListener& trace);

// A file that cannot be opened is passed over without a word, as operators are used to: true.
// One that opened but could not be written whole keeps its old contents: false.
bool WriteSettingsFile(const std::string& path, const SettingsValues& values);

// The settings file saved last, as the pointer file's first line names it; nullopt when the
// pointer file is missing or holds no line.
std::optional<std::string> ReadPointerFile(const std::string& path);
// As WriteSettingsFile.
bool WritePointerFile(const std::string& path, const std::string& settingsPath);
