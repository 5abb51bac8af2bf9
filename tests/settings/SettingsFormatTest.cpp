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
    void SetSilentSeconds(int seconds) override { values["silent"] = std::to_string(seconds); }
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
        // A newer key counts only where it opens the line, and only with a number it can hold;
        // the ten keys' tests see the line as before.
        {"#$SILENTSEC=30\r", {{"silent", "30"}}, false},
        {"#$SILENTSEC=999999", {{"silent", "999999"}}, false},
        {"#$SILENTSEC=0", {{"silent", "0"}}, false},
        {"#$SILENTSEC=1000000", {}, false},
        {"#$SILENTSEC=-5", {}, false},
        {"#$SILENTSEC=30s", {}, false},
        {"#$SILENTSEC=", {}, false},
        {"x#$SILENTSEC=30", {}, false},
        {"#$SILENTSEC=30#$PORT=1", {{"port", "TSEC=30#$PORT=1"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        RecordedSettings target;
        EXPECT_EQ(ApplySettingsLine(c.line, target), c.start);
        EXPECT_EQ(target.values, c.values);
    }
}

// A file of defaults stays the ten lines it has always been; a newer key follows them only when
// its value is not the default, in a fixed order. The broker's keys read back as written, and a
// port that is none leaves the one there was, and a file that leaves them out sets the defaults.
TEST(SettingsFormat, WritesNewerKeysAfterTheTenOnlyWhenSet) {
    SettingsValues values{"T", "10003", {"a", "b", "c", "d", "e"}, true, false, "x.csv", 0, {}};
    const std::string ten =
        "#$TITLEBAR=T\n#$PORT=10003\n#$DI1=a\n#$DI2=b\n#$DI3=c\n#$DI4=d\n#$DI5=e\n"
        "#$LOGGING=ON\n#$SERVER=STOP\n#$LOGFILENAME=x.csv\n";
    EXPECT_EQ(FormatSettingsFile(values), ten);
    values.mqtt.host = "10.0.0.5";
    EXPECT_EQ(FormatSettingsFile(values), ten + "#$MQTTHOST=10.0.0.5\n");
    const MqttSettings all{"broker.lan", 8883, "line1/\x83\x76", "ope", "p#a ss=", true};
    values.mqtt = all;
    values.silentSeconds = 45;
    EXPECT_EQ(FormatSettingsFile(values),
              ten +
                  "#$SILENTSEC=45\n#$MQTTHOST=broker.lan\n#$MQTTPORT=8883\n"
                  "#$MQTTTOPIC=line1/\x83\x76\n#$MQTTUSER=ope\n#$MQTTPASSWORD=p#a ss=\n"
                  "#$MQTTDISCOVERY=ON\n");

    SettingsCollector read({});
    for (const char* line :
         {"#$MQTTDISCOVERY=ON", "#$MQTTPASSWORD=p#a ss=", "#$MQTTPORT=8883", "#$MQTTUSER=ope",
          "#$MQTTTOPIC=line1/\x83\x76", "#$MQTTHOST=broker.lan", "#$MQTTPORT=0", "#$MQTTPORT=65536",
          "#$MQTTPORT=x", " #$MQTTHOST=elsewhere"}) {
        ApplySettingsLine(line, read);
    }
    EXPECT_EQ(read.values.mqtt, all);
    // The next file read leaves them out: they are the defaults again, as that file was written.
    ApplyNewerKeyDefaults(read);
    EXPECT_EQ(read.values.mqtt, MqttSettings{});
}

}  // namespace
