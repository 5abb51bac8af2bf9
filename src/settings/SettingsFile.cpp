#include "settings/SettingsFile.h"

#include "Strings.h"
#include "platform/CStdioFile.h"
#include "server/Trace.h"

namespace {

constexpr char kTraceRule[] = "----------\r\n";

bool WriteWholeFile(const std::string& path, const std::string& text) {
    CStdioFile file;
    if (!file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite)) return true;
    file.WriteString(text);
    return file.Close();
}

}  // namespace

SettingsRead ReadSettingsFile(const std::string& path, SettingsTarget& target,
                              ServerListener& trace) {
    CStdioFile file;
    if (!file.Open(path, CStdioFile::modeRead)) {
        Trace(trace, "%s", kTraceSettingsMissing);
        return {};
    }
    Trace(trace, "%s", kTraceSettingsFound);
    Trace(trace, "%s", kTraceRule);
    SettingsRead read{.opened = true};
    ApplyNewerKeyDefaults(target);
    std::string line;
    while (file.ReadString(line)) {
        // The line is shown as it was read: its bytes are never a format.
        Trace(trace, "%s", line.c_str());
        Trace(trace, "\r\n");
        if (ApplySettingsLine(line, target)) read.startRequested = true;
    }
    if (file.ReadFailed()) {
        Trace(trace, "cfg read error\r\n");
        read.readFailed = true;
    }
    Trace(trace, "%s", kTraceRule);
    return read;
}

bool WriteSettingsFile(const std::string& path, const SettingsValues& values) {
    return WriteWholeFile(path, FormatSettingsFile(values));
}

std::optional<std::string> ReadPointerFile(const std::string& path) {
    CStdioFile file;
    std::string line;
    if (!file.Open(path, CStdioFile::modeRead) || !file.ReadString(line)) return std::nullopt;
    return line;
}

bool WritePointerFile(const std::string& path, const std::string& settingsPath) {
    return WriteWholeFile(path, settingsPath);
}
