#include <gtest/gtest.h>

#include <map>

#include "settings/SettingsFormat.h"

namespace {

// Collects what lines set, in the order they set it.
class RecordedSettings : public SettingsTarget {
public:
    void SetPortText(const std::string& text) override { Set("port", text); }
    void SetDiName(int channel, const std::string& name) override {
        Set("DI" + std::to_string(channel + 1), name);
    }
    void SetLogging(bool on) override { Set("logging", on ? "on" : "off"); }
    void SetLogFile(const std::string& path) override { Set("log", path); }
    void SetTitle(const std::string& title) override { Set("title", title); }

    std::map<std::string, std::string> values;

private:
    void Set(const std::string& what, const std::string& value) { values[what] = value; }
};

using Values = std::map<std::string, std::string>;

// The reader's way of finding keys, which files in the field rely on: a key found anywhere
// deletes its length from the line's start, tests run in a fixed order on what earlier tests
// left, and values are taken as they stand.
TEST(SettingsFormat, ReadsLinesAsFilesInTheFieldExpect) {
    struct Case {
        std::string line;
        Values values;
        bool start;
    } cases[] = {
        {"#$PORT=10003", {{"port", "10003"}}, false},
        {"#$DI3=ABCDEFGHIJKLMNOPQRSTUVWXYZ", {{"DI3", "ABCDEFGHIJKLMNOPQRST"}}, false},
        {"#$PORT=abc", {{"port", "abc"}}, false},
        {"x#$PORT=123", {{"port", "=123"}}, false},
        {"#$DI1=#$DI2=Pump", {{"DI1", "#$DI2=Pump"}, {"DI2", "Pump"}}, false},
        {"#$PORT=10003#$DI1=Door", {{"port", "10003#$DI1=Door"}, {"DI1", "$DI1=Door"}}, false},
        {"#$TITLEBAR=#$PORT=1024", {{"port", "BAR=#$PORT=1024"}}, false},
        {"#$TITLEBAR=A = B ", {{"title", "A = B "}}, false},
        {"#$TITLEBAR=", {{"title", ""}}, false},
        {"#$LOGGING=ON", {{"logging", "on"}}, false},
        {"#$LOGGING=ONLINE", {{"logging", "on"}}, false},
        {"#$LOGGING=on", {{"logging", "off"}}, false},
        {"#$LOGGING=O", {{"logging", "off"}}, false},
        {"#$SERVER=START", {}, true},
        {"#$SERVER=STARTED", {}, true},
        {"#$SERVER=start", {}, false},
        {"#$LOGFILENAME=D:\\logs\\line1.csv", {{"log", "D:\\logs\\line1.csv"}}, false},
        {"#$PO\rRT=5\r", {{"port", "5"}}, false},
        {"no key here", {}, false},
        {"#$UNKNOWN=1", {}, false},
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

// A name is cut at 20 bytes, where a whole character ends.
TEST(SettingsFormat, CutsNamesAtTwentyBytesOnACharacter) {
    RecordedSettings target;
    const std::string tenKanji(20, '\x88');  // ten times the double-byte character 0x88 0x88
    ApplySettingsLine("#$DI1=" + tenKanji + "\x88\x88", target);
    ApplySettingsLine("#$DI2=a" + tenKanji, target);
    EXPECT_EQ(target.values["DI1"], tenKanji);
    EXPECT_EQ(target.values["DI2"], "a" + tenKanji.substr(0, 18));
}

// The ten lines in their order; read back they give the same values.
TEST(SettingsFormat, WritesTheTenLinesAndReadsThemBack) {
    SettingsValues values{"NR-QD8K", "10003", {"Door", "Window", "DI3", "DI4", "Pump"},
                          true,      true,    "D:\\logs\\line1.csv"};
    std::string text = FormatSettingsFile(values);
    EXPECT_EQ(text,
              "#$TITLEBAR=NR-QD8K\n#$PORT=10003\n#$DI1=Door\n#$DI2=Window\n#$DI3=DI3\n#$DI4=DI4\n"
              "#$DI5=Pump\n#$LOGGING=ON\n#$SERVER=START\n#$LOGFILENAME=D:\\logs\\line1.csv\n");
    // Each LF becomes CR LF on disk: 147 bytes of text and ten line ends.
    EXPECT_EQ(text.size() + 10, 157u);

    RecordedSettings target;
    bool start = false;
    for (size_t from = 0, end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
        start |= ApplySettingsLine(text.substr(from, end - from), target);
    }
    EXPECT_TRUE(start);
    EXPECT_EQ(target.values, (Values{{"title", "NR-QD8K"},
                                     {"port", "10003"},
                                     {"DI1", "Door"},
                                     {"DI2", "Window"},
                                     {"DI3", "DI3"},
                                     {"DI4", "DI4"},
                                     {"DI5", "Pump"},
                                     {"logging", "on"},
                                     {"log", "D:\\logs\\line1.csv"}}));
    values.logging = values.serverRunning = false;
    EXPECT_NE(FormatSettingsFile(values).find("#$LOGGING=OFF\n#$SERVER=STOP\n"), std::string::npos);
}

}  // namespace
