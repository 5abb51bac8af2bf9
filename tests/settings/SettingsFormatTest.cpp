#include "settings/SettingsFormat.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Collects what lines set.
class RecordedSettings : public SettingsTarget {
public:
    void SetPortText(const std::string& text) override { values["port"] = text; }
    void SetDiName(int channel, const std::string& name) override {
        values["DI" + std::to_string(channel + 1)] = name;
    }
    void SetLogging(bool on) override { values["logging"] = on ? "on" : "off"; }
    void SetLogFile(const std::string& path) override { values["log"] = path; }
    void SetTitle(const std::string& title) override { values["title"] = title; }
    MqttSettings& Mqtt() override { return mqtt; }

    std::map<std::string, std::string> values;
    MqttSettings mqtt;
};

using Values = std::map<std::string, std::string>;

// The reader's way of finding keys, which files in the field rely on: a key found anywhere
// deletes its length from the line's start, tests run in a fixed order on what earlier tests
// left, and values are taken as they stand. A name is cut at 20 bytes, where a character ends.
TEST(SettingsFormat, ReadsLinesAsFilesInTheFieldExpect) {
    const std::string tenKanji(20, '\x88');  // ten times the double-byte character 0x88 0x88
    struct Case {
        std::string line;
        Values values;
        bool start;
    } cases[] = {
        {"#$DI3=ABCDEFGHIJKLMNOPQRSTUVWXYZ", {{"DI3", "ABCDEFGHIJKLMNOPQRST"}}, false},
        {"#$DI1=" + tenKanji + "\x88\x88", {{"DI1", tenKanji}}, false},
        {"#$DI2=a" + tenKanji, {{"DI2", "a" + tenKanji.substr(0, 18)}}, false},
        {"#$PORT=abc", {{"port", "abc"}}, false},
        {"x#$PORT=123", {{"port", "=123"}}, false},
        {"#$DI1=#$DI2=Pump", {{"DI1", "#$DI2=Pump"}, {"DI2", "Pump"}}, false},
        {"#$PORT=10003#$DI1=Door", {{"port", "10003#$DI1=Door"}, {"DI1", "$DI1=Door"}}, false},
        {"#$TITLEBAR=#$PORT=1024", {{"port", "BAR=#$PORT=1024"}}, false},
        {"#$TITLEBAR=A = B ", {{"title", "A = B "}}, false},
        {"#$LOGGING=ON", {{"logging", "on"}}, false},
        {"#$LOGGING=ONLINE", {{"logging", "on"}}, false},
        {"#$LOGGING=on", {{"logging", "off"}}, false},
        {"#$SERVER=START", {}, true},
        {"#$SERVER=STARTED", {}, true},
        {"#$SERVER=start", {}, false},
        {"#$LOGFILENAME=D:\\logs\\line1.csv", {{"log", "D:\\logs\\line1.csv"}}, false},
        {"#$PO\rRT=5\r", {{"port", "5"}}, false},
        {"#$DI6=x", {}, false},
        {"", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RecordedSettings target;
        EXPECT_EQ(ApplySettingsLine(c.line, target), c.start);
        EXPECT_EQ(target.values, c.values);
    }
}

}  // namespace

namespace {

// The broker's keys come after the ten lines, each only when it differs from its default, in a
// fixed order; they read back as they were written, read like any key, and a port that is none
// leaves the one there was.
TEST(SettingsFormat, BrokerKeysFollowTheTenLines) {
    SettingsValues values;
    const std::string tenLines = FormatSettingsFile(values);
    const MqttSettings all{"broker.lan", 8883, "line1/\x83\x76", "ope", "p#a ss=", true};
    values.mqtt = all;
    EXPECT_EQ(FormatSettingsFile(values),
              tenLines +
                  "#$MQTTHOST=broker.lan\n#$MQTTPORT=8883\n#$MQTTTOPIC=line1/\x83\x76\n"
                  "#$MQTTUSER=ope\n#$MQTTPASSWORD=p#a ss=\n#$MQTTDISCOVERY=ON\n");
    values.mqtt = MqttSettings();
    values.mqtt.host = "10.0.0.5";
    EXPECT_EQ(FormatSettingsFile(values), tenLines + "#$MQTTHOST=10.0.0.5\n");

    SettingsCollector read({});
    for (const char* line :
         {"#$MQTTDISCOVERY=ON", "#$MQTTPASSWORD=p#a ss=", "#$MQTTPORT=8883", "#$MQTTUSER=ope",
          "#$MQTTTOPIC=line1/\x83\x76", "#$MQTTHOST=broker.lan", "#$MQTTPORT=0", "#$MQTTPORT=65536",
          "#$MQTTPORT=x"}) {
        ApplySettingsLine(line, read);
    }
    EXPECT_EQ(read.values.mqtt, all);
}

}  // namespace
