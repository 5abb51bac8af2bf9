#include "settings/SettingsFormat.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <charconv>
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
constexpr std::string_view kLoggingOn = "ON";
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

// Digits alone, within the range; anything else leaves the value as it was.
std::optional<int> SilentSecondsOf(std::string_view text) {
    int seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        text.size() > kMaxSilentDigits || text[0] == '-') {
        return std::nullopt;
    }
    return seconds;
}

}  // namespace

bool ApplySettingsLine(std::string line, SettingsTarget& target) {
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    if (auto value = NewerKeyValue(line, kKeySilentSeconds)) {
        if (std::optional<int> seconds = SilentSecondsOf(*value)) target.SetSilentSeconds(*seconds);
    }
    bool startRequested = false;
    if (TakeKey(line, kKeyPort)) target.SetPortText(line);
    for (int number = 1; number <= kDiChannels; ++number) {
        if (TakeKey(line, DiKey(number))) {
            // Cut where a character ends: half a double-byte character would show as garbage.
            target.SetDiName(number - 1,
                             std::string(cp932::CutAtCharBoundary(line, kDiNameLimitBytes)));
        }
    }
    if (TakeKey(line, kKeyLogging)) target.SetLogging(line.starts_with(kLoggingOn));
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
    if (values.silentSeconds != kDefaultSilentSeconds) {
        addLine(kKeySilentSeconds, std::to_string(values.silentSeconds));
    }
    return text;
}
