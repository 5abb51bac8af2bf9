#pragma once

#include "mqtt/BrokerConnection.h"
#include "mqtt/MqttSettings.h"
#include "mqtt/PublisherInbox.h"
#include "mqtt/UnitPublications.h"

#include <chrono>
#include <deque>
#include <string>
#include <vector>

class ServerListener;
struct PublisherShared;

// One run of the publisher's thread, from a start to a stop: it connects, publishes every
// event in order, and reconnects with back-off while the broker is away; whatever the broker
// has not acknowledged is sent again on the next connection. A clean stop sends what waits
// (for a short while), then offline, then DISCONNECT.
class PublisherRun {
public:
    using Clock = std::chrono::steady_clock;

    // How long each try to connect, and each wait for an answer, may take.
    static constexpr std::chrono::milliseconds kAnswerLimit{5000};
    static constexpr std::chrono::milliseconds kFirstRetry{1000};
    // Also the wait after a refused user name or password: never a tight loop.
    static constexpr std::chrono::milliseconds kLongestRetry{30000};
    static constexpr uint16_t kKeepAliveSeconds = 30;
    // Messages sent and not yet acknowledged; each is kept until it is.
    static constexpr size_t kMaxInFlight = 1000;
    // What a clean stop spends on sending what waits.
    static constexpr std::chrono::milliseconds kFinishLimit{3000};
    // Reports gather this long once one has come: a send then carries many, and neither this
    // thread nor the broker wakes for each report while the worker serves.
    static constexpr std::chrono::milliseconds kGatherTime{5};

    // The prefix and texts are CP932; what goes out is UTF-8.
    PublisherRun(const MqttSettings& broker, const std::string& prefix, PublisherShared& shared,
                 ServerListener& tell);

    void Run();

private:
    struct InFlight {
        uint16_t packetId;
        std::string packet;
        bool endsReport;  // the last message of a report: until it is acknowledged, it waits
    };

    mqtt::BrokerConnection::Opened Connect();
    void TellRefusal(mqtt::BrokerConnection::Opened opened);
    void WaitToRetry(std::chrono::milliseconds delay);
    // True when the broker acknowledged something before the connection ended.
    bool Serve();
    bool Exchange(Clock::time_point until, bool serving);
    bool Lose(int error);
    void Finish();
    void SendWaitingAndClose();
    void PublishWaiting();
    void TakeLabels();
    void PublishMessages(bool lastEndsReport);
    void Publish(const mqtt::Message& message, bool endsReport);
    void Queue(const std::string& packet);
    void Acknowledge(uint16_t packetId);
    void TraceDrops();

    const MqttSettings m_broker;
    PublisherShared& m_shared;
    ServerListener& m_tell;
    mqtt::ConnectRequest m_request;
    mqtt::BrokerConnection m_connection;
    UnitPublications m_units;
    std::deque<InFlight> m_inFlight;
    uint16_t m_nextPacketId = 0;
    std::vector<PublishEvent> m_events;
    std::vector<mqtt::Message> m_messages;
    std::vector<mqtt::BrokerPacket> m_packets;
    bool m_connectedBefore = false;
    bool m_refusalTold = false;
    bool m_pingPending = false;
    bool m_acknowledged = false;
    int m_lostError = 0;
    uint64_t m_dropsTraced = 0;
    Clock::time_point m_lastQueued;
    // When the broker must have answered what is awaited; max(): nothing is awaited.
    Clock::time_point m_answerDue = Clock::time_point::max();
    // Until then what waits is left to gather.
    Clock::time_point m_gatherUntil = Clock::time_point::min();
};
