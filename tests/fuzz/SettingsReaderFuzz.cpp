// Any settings file: every line is read safely, no name longer than 20 bytes reaches an edit,
// and the broker's port is always one.
#include "settings/SettingsFormat.h"

#include <cstdlib>
#include <string>

namespace {

class CheckedSettings : public SettingsTarget {
public:
    void SetPortText(const std::string&) override {}
    void SetDiName(int channel, const std::string& name) override {
        if (channel < 0 || channel > 4 || name.size() > 20) std::abort();
    }
    void SetLogging(bool) override {}
    void SetLogFile(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void SetSilentSeconds(int seconds) override {
        if (seconds < 0 || seconds > kMaxSilentSeconds) std::abort();
    }
    MqttSettings& Mqtt() override { return mqtt; }

    MqttSettings mqtt;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string file(reinterpret_cast<const char*>(data), size);
    CheckedSettings target;
    size_t from = 0;
    while (from <= file.size()) {
        size_t end = file.find('\n', from);
        if (end == std::string::npos) end = file.size();
        ApplySettingsLine(file.substr(from, end - from), target);
        if (target.mqtt.port < 1 || target.mqtt.port > 65535) std::abort();
        from = end + 1;
    }
    return 0;
}
