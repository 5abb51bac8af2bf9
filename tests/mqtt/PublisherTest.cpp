#include "mqtt/MqttPublisher.h"
#include "mqtt/PublisherInbox.h"
#include "support/ServingCore.h"
#include "support/UnitClient.h"
#include "support/Waiting.h"

namespace {

// The serving core with a publisher that keeps three reports at most.
class PublisherTest : public ServingCoreTest {
protected:
    PublisherTest() { listeners.Add(publisher); }

    bool Is(PublisherStatus::Kind kind, size_t waiting, uint64_t dropped) {
        const PublisherStatus status = publisher.Status();
        return status.kind == kind && status.waiting == waiting && status.dropped == dropped;
    }

    MqttPublisher publisher{*this, 3};
};

// While the broker is away, the reports wait; beyond the bound the oldest go, counted in the
// status and the trace; the server's stop says what was never published. Units never wait.
TEST_F(PublisherTest, KeepsReportsWhileTheBrokerIsAway) {
    EXPECT_TRUE(Is(PublisherStatus::kOff, 0, 0));
    MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = HeldPort().Port();
    publisher.Start(settings, "t/1");
    ASSERT_TRUE(WaitUntil([&] { return Is(PublisherStatus::kWaitingToReconnect, 0, 0); }));
    for (const char* frame : {"\x01\x01", "\x01\x02", "\x01\x03", "\x01\x04"}) {
        EXPECT_EQ(Exchange(port, frame), frame);
    }
    EXPECT_TRUE(Is(PublisherStatus::kWaitingToReconnect, 3, 1));
    Stop();
    EXPECT_TRUE(Is(PublisherStatus::kOff, 0, 1));
    EXPECT_NE(Trace().find("MQTT: cannot connect to 127.0.0.1:" + std::to_string(settings.port) +
                           " (10061)\r\n"),
              std::string::npos);
    EXPECT_NE(Trace().find("MQTT: 1 reports dropped in all, the oldest first: too many waited\r\n"
                           "MQTT: 3 reports were not published\r\n"),
              std::string::npos);
}

TEST(PublisherInbox, DropsTheOldestBeyondItsBound) {
    PublisherInbox inbox(3);
    inbox.Put({PublishEvent::kSilent, Report{"10.0.0.9"}});
    for (uint8_t state = 1; state <= 4; ++state) {
        inbox.Put({PublishEvent::kReport, Report{"10.0.0.1", 1, state}});
    }
    std::vector<PublishEvent> taken;
    inbox.Take(taken, 2);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].report.state, 2);
    EXPECT_EQ(taken[1].report.state, 3);
    EXPECT_EQ(inbox.WaitingReports(), 1u);
    EXPECT_EQ(inbox.DroppedReports(), 1u);
}

}  // namespace
