#include "mqtt/MqttPublisher.h"
#include "mqtt/ReportMessages.h"
#include "platform/LocalTime.h"
#include "server/Report.h"
#include "support/Ports.h"
#include "support/Waiting.h"
#include "support/posix/Mosquitto.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {

class Told : public ServerListener {
public:
    void OnTrace(std::string_view text) override {
        std::lock_guard lock(m_mutex);
        m_trace += text;
    }
    std::string Trace() {
        std::lock_guard lock(m_mutex);
        return m_trace;
    }

private:
    std::mutex m_mutex;
    std::string m_trace;
};

bool Is(const MqttPublisher& publisher, PublisherStatus::Kind kind, size_t waiting) {
    const PublisherStatus status = publisher.Status();
    return status.kind == kind && status.waiting == waiting;
}

// While the broker is away the reports wait, the oldest dropped beyond the bound and counted;
// once it is there they go out and the status says so; a stop leaves offline behind.
TEST(MqttPublisher, WaitsForTheBrokerAndTellsHowItGoes) {
    Told told;
    MqttPublisher publisher(told, 3);
    EXPECT_TRUE(Is(publisher, PublisherStatus::kOff, 0));
    Mosquitto broker(FreePort());
    publisher.SetNames({"A", "B", "C", "D", "E"});
    MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = broker.Port();
    publisher.Start(settings, "t/1");
    ASSERT_TRUE(WaitUntil([&] { return Is(publisher, PublisherStatus::kWaitingToReconnect, 0); }));
    for (uint8_t state = 1; state <= 4; ++state) {
        publisher.OnReport(Report{"10.0.0.1", 0x01, state, 1'800'000'000});
    }
    publisher.OnIdle();
    EXPECT_TRUE(Is(publisher, PublisherStatus::kWaitingToReconnect, 3));
    EXPECT_EQ(publisher.Status().dropped, 1u);

    ASSERT_TRUE(broker.Start());
    EXPECT_TRUE(WaitUntil([&] { return Is(publisher, PublisherStatus::kConnected, 0); }, 10000));
    const std::string unit = "t/1/units/10.0.0.1/";
    const std::string time =
        FormatLocalTime(LocalTimeOf(1'800'000'000), UtcOffsetOf(1'800'000'000));
    EXPECT_EQ(RetainedMessages(broker.Port(), unit + "+", 7),
              (std::map<std::string, std::string>{
                  {unit + "availability", "online"},
                  {unit + "state", R"({"unit":"10.0.0.1","time":")" + time +
                                       R"(","di":[0,0,1,0,0],"names":["A","B","C","D","E"]})"},
                  {unit + "di1", "0"},
                  {unit + "di2", "0"},
                  {unit + "di3", "1"},
                  {unit + "di4", "0"},
                  {unit + "di5", "0"}}));
    EXPECT_NE(told.Trace().find("MQTT: 1 reports dropped"), std::string::npos) << told.Trace();

    publisher.OnStopped();
    EXPECT_TRUE(Is(publisher, PublisherStatus::kOff, 0));
    EXPECT_EQ(RetainedMessages(broker.Port(), "t/1/status", 1).at("t/1/status"), "offline");
}

}  // namespace
