#include "mqtt/ReportMessages.h"
#include "mqtt/UnitPublications.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Texts = std::vector<std::string>;

// Topic=payload, the payload of a state or a config left out; + marks a retained QoS 1 message.
Texts Describe(std::vector<mqtt::Message>& messages) {
    Texts texts;
    for (const mqtt::Message& m : messages) {
        const bool json = m.topic.ends_with("/state") || m.topic.ends_with("/config");
        texts.push_back(m.topic + (json ? "" : "=" + m.payload) +
                        (m.qos == 1 && m.retain ? "+" : ""));
    }
    messages.clear();
    return texts;
}

Report UnitReport(const std::string& address, uint8_t state) {
    return Report{address, 0x01, state, 1'800'000'000};
}

// An input is published when it changes, all five when the unit is first seen; availability
// when it changes, and offline for a unit heard only before this run (its online stands).
TEST(UnitPublications, PublishWhatChanged) {
    UnitPublications units("p", false);
    std::vector<mqtt::Message> out;
    const std::string u = "p/units/10.0.0.1/";
    units.AddReport(UnitReport("10.0.0.1", 0b00101), out);
    EXPECT_EQ(Describe(out), (Texts{u + "availability=online+", u + "state+", u + "di1=1+",
                                    u + "di2=0+", u + "di3=1+", u + "di4=0+", u + "di5=0+"}));
    units.AddReport(UnitReport("10.0.0.1", 0b10100), out);
    EXPECT_EQ(Describe(out), (Texts{u + "state+", u + "di1=0+", u + "di5=1+"}));
    units.AddAvailability("10.0.0.1", false, out);
    units.AddAvailability("10.0.0.1", false, out);
    units.AddAvailability("10.0.0.2", false, out);
    units.AddAvailability("10.0.0.3", true, out);
    EXPECT_EQ(Describe(out),
              (Texts{u + "availability=offline+", "p/units/10.0.0.2/availability=offline+"}));
    units.AddReport(UnitReport("10.0.0.1", 0b10100), out);
    units.AddAvailability("10.0.0.1", true, out);
    EXPECT_EQ(Describe(out), (Texts{u + "availability=online+", u + "state+"}));
}

// Configs come before a new unit's first state, again for every unit when a name or the title
// changes, and with everything retained when a broker may have lost it.
TEST(UnitPublications, DiscoveryConfigsFollowTheLabels) {
    UnitPublications units("p", true);
    std::vector<mqtt::Message> out;
    const std::string config = "homeassistant/binary_sensor/p_10_0_0_1/";
    units.AddReport(UnitReport("10.0.0.1", 0), out);
    Texts texts = Describe(out);
    ASSERT_EQ(texts.size(), 12u);
    EXPECT_EQ(Texts(texts.begin(), texts.begin() + 5),
              (Texts{config + "di1/config+", config + "di2/config+", config + "di3/config+",
                     config + "di4/config+", config + "di5/config+"}));
    PublishedLabels labels{"NR-QD8K", {"a", "b", "c", "d", "e"}};
    units.SetLabels(labels, out);
    EXPECT_EQ(Describe(out).size(), 5u);
    units.SetLabels(labels, out);
    EXPECT_EQ(Describe(out).size(), 0u);
    units.Republish(out);
    EXPECT_EQ(Describe(out).size(), 12u);
    // Prefixes of other characters stay apart.
    UnitPublications office("本社", true);
    office.AddReport(UnitReport("10.0.0.1", 0), out);
    EXPECT_EQ(Describe(out)[0], "homeassistant/binary_sensor/e69cace7a4be_10_0_0_1/di1/config+");
}

// The state generic tools read: JSON with every text escaped, the time local with its offset.
TEST(ReportMessages, PayloadsAreJsonOthersCanRead) {
    const ReportMessages messages("nr-qd8k/PC1/10003");
    PublishedLabels labels{"", {"扉", "a\"b", "c\\d", "e\x01", "ポンプ"}};
    const mqtt::Message state = messages.State(UnitReport("192.168.0.10", 0b10101), labels);
    EXPECT_EQ(state.topic, "nr-qd8k/PC1/10003/units/192.168.0.10/state");
    EXPECT_TRUE(std::regex_match(
        state.payload,
        std::regex(
            R"(\{"unit":"192\.168\.0\.10","time":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d",)"
            R"("di":\[1,0,1,0,1\],"names":\["扉","a\\"b","c\\\\d","e\\u0001","ポンプ"\]\})")))
        << state.payload;
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 11;
    local.tm_mday = 8;
    local.tm_hour = 9;
    local.tm_min = 30;
    local.tm_sec = 15;
    EXPECT_EQ(FormatLocalTime(local, 9 * 3600), "2026-12-08T09:30:15+09:00");
    EXPECT_EQ(FormatLocalTime(local, -(3 * 3600 + 1800)), "2026-12-08T09:30:15-03:30");
    EXPECT_EQ(FormatLocalTime(local, 0), "2026-12-08T09:30:15+00:00");
}

}  // namespace
