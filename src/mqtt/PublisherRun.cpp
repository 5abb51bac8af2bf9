#include "mqtt/PublisherRun.h"

#include "Strings.h"
#include "mqtt/PollTime.h"
#include "mqtt/PublisherShared.h"
#include "platform/Cp932.h"
#include "server/ServerListener.h"
#include "server/Trace.h"

#include <algorithm>

namespace {

using Clock = PublisherRun::Clock;
using Opened = mqtt::BrokerConnection::Opened;

constexpr size_t kTakeBatch = 64;
// An idle connection is kept alive well before the broker would give it up.
constexpr auto kPingAfter = std::chrono::seconds(PublisherRun::kKeepAliveSeconds / 2);
constexpr std::chrono::milliseconds kDisconnectLimit{1000};

}  // namespace

PublisherRun::PublisherRun(const MqttSettings& broker, const std::string& prefix,
                           PublisherShared& shared, ServerListener& tell)
    : m_broker(broker),
      m_shared(shared),
      m_tell(tell),
      m_units(cp932::ToUtf8(prefix), broker.discovery) {
    const mqtt::Message will = m_units.Messages().Status(false);
    m_request.clientId = cp932::ToUtf8(prefix);
    m_request.keepAliveSeconds = kKeepAliveSeconds;
    m_request.willTopic = will.topic;
    m_request.willPayload = will.payload;
    m_request.willQos = will.qos;
    m_request.willRetain = will.retain;
    m_request.userName = cp932::ToUtf8(broker.user);
    m_request.password = cp932::ToUtf8(broker.password);
}

void PublisherRun::Run() {
    auto retry = kFirstRetry;
    while (!m_shared.stopping) {
        TraceDrops();
        m_shared.SetKind(PublisherStatus::kConnecting);
        const Opened opened = Connect();
        if (opened == Opened::kWoken) break;
        if (opened == Opened::kAccepted) {
            // A broker that takes the connection and drops it at once still gets a rest.
            if (Serve()) retry = kFirstRetry;
            if (m_shared.stopping) break;
            Trace(m_tell, "MQTT: connection to %s:%d lost (%d)\r\n", m_broker.host.c_str(),
                  m_broker.port, m_lostError);
        } else {
            TellRefusal(opened);
        }
        const auto delay = opened == Opened::kBadUserNameOrPassword ? kLongestRetry : retry;
        retry = std::min(retry * 2, kLongestRetry);
        m_shared.SetKind(PublisherStatus::kWaitingToReconnect);
        WaitToRetry(delay);
    }
    Finish();
}

Opened PublisherRun::Connect() {
    const Opened opened = m_connection.Open(m_broker.host, static_cast<uint16_t>(m_broker.port),
                                            m_request, kAnswerLimit, m_shared.stop.Handle());
    if (opened == Opened::kAccepted) {
        Trace(m_tell, "MQTT: connected to %s:%d\r\n", m_broker.host.c_str(), m_broker.port);
        m_refusalTold = false;
    }
    return opened;
}

void PublisherRun::TellRefusal(Opened opened) {
    if (opened != Opened::kBadUserNameOrPassword) {
        Trace(m_tell, "MQTT: cannot connect to %s:%d (%d)\r\n", m_broker.host.c_str(),
              m_broker.port, m_connection.Error());
        return;
    }
    // Once: the operator is told, and the broker is not asked again and again.
    if (m_refusalTold) return;
    m_refusalTold = true;
    Trace(m_tell, "MQTT: %s:%d refused the user name or password (%d)\r\n", m_broker.host.c_str(),
          m_broker.port, m_connection.Error());
    m_tell.OnAlert(kTextMqttCredentialsRefused);
}

void PublisherRun::WaitToRetry(std::chrono::milliseconds delay) {
    const auto until = Clock::now() + delay;
    wsock::PollEntry stop{m_shared.stop.Handle()};
    while (!m_shared.stopping && Clock::now() < until) {
        wsock::WSAPoll(&stop, 1, mqtt::PollMillisecondsUntil(until));
    }
}

bool PublisherRun::Serve() {
    m_shared.SetKind(PublisherStatus::kConnected);
    m_lastQueued = Clock::now();
    m_answerDue = Clock::time_point::max();
    m_pingPending = false;
    m_acknowledged = false;
    // Online first; then what the last connection left unacknowledged, in its order; then, for a
    // broker that may have restarted without them, what is retained about each unit.
    const size_t unacknowledged = m_inFlight.size();
    Publish(m_units.Messages().Status(true), false);
    for (size_t i = 0; i < unacknowledged; ++i) Queue(m_inFlight[i].packet);
    if (m_connectedBefore) {
        m_units.Republish(m_messages);
        PublishMessages(false);
    }
    m_connectedBefore = true;
    while (!m_shared.stopping && m_connection.IsOpen()) {
        if (Clock::now() >= m_gatherUntil) PublishWaiting();
        if (!Exchange(Clock::time_point::max(), true)) break;
    }
    return m_acknowledged;
}

void PublisherRun::Finish() {
    if (m_connection.IsOpen()) SendWaitingAndClose();
    TraceDrops();
    // Those sent and not acknowledged are this connection's alone.
    const size_t unsent =
        m_shared.reportsInFlight + (m_shared.keepWaiting ? 0 : m_shared.inbox.WaitingReports());
    if (unsent > 0) Trace(m_tell, "MQTT: %zu reports were not published\r\n", unsent);
    if (!m_shared.keepWaiting) m_shared.inbox.Clear();
    m_shared.reportsInFlight = 0;
}

// Each stage is bounded, and ends early when the connection is lost.
void PublisherRun::SendWaitingAndClose() {
    const auto sendUntil = Clock::now() + kFinishLimit;
    while ((m_shared.inbox.WaitingReports() > 0 || !m_inFlight.empty()) &&
           Clock::now() < sendUntil) {
        PublishWaiting();
        if (!Exchange(sendUntil, false)) return;
    }
    Publish(m_units.Messages().Status(false), false);
    const auto offlineUntil = Clock::now() + kDisconnectLimit;
    while (!m_inFlight.empty() && Clock::now() < offlineUntil) {
        if (!Exchange(offlineUntil, false)) return;
    }
    // The broker forgets the will on DISCONNECT, and closes the connection.
    Queue(mqtt::EncodeDisconnect());
    const auto closeUntil = Clock::now() + kDisconnectLimit;
    while (Exchange(closeUntil, false) && Clock::now() < closeUntil) {
    }
    m_connection.Close();
}

// One step: sends what is queued, waits until the broker, a stop or (while serving) new work
// wants attention, or a time is due, then reads the broker's answers and keeps the connection
// alive. False once the connection is lost.
bool PublisherRun::Exchange(Clock::time_point until, bool serving) {
    if (Clock::now() >= m_answerDue) return Lose(wsock::kErrorTimedOut);
    if (Clock::now() - m_lastQueued >= kPingAfter) {
        m_pingPending = true;
        Queue(mqtt::EncodePingRequest());
    }
    if (!m_connection.Flush()) return Lose(m_connection.Error());
    const bool gathering = Clock::now() < m_gatherUntil;
    const auto wakeAt = std::min({until, m_answerDue, m_lastQueued + kPingAfter,
                                  gathering ? m_gatherUntil : Clock::time_point::max()});
    const wsock::Socket none = wsock::kInvalidSocket;
    wsock::PollEntry entries[] = {{m_connection.Socket(), false, m_connection.HasOutput()},
                                  {serving ? m_shared.stop.Handle() : none},
                                  {serving && !gathering ? m_shared.work.Handle() : none}};
    if (wsock::WSAPoll(entries, 3, mqtt::PollMillisecondsUntil(wakeAt)) == wsock::kSocketError &&
        wsock::WSAGetLastError() != wsock::kErrorInterrupted) {
        return Lose(wsock::WSAGetLastError());
    }
    if (entries[2].readable) {
        m_shared.work.Reset();
        m_gatherUntil = Clock::now() + kGatherTime;
    }
    if (!entries[0].readable) return true;
    m_packets.clear();
    const bool open = m_connection.Receive(m_packets);
    for (const mqtt::BrokerPacket& packet : m_packets) {
        if (packet.kind == mqtt::BrokerPacket::kConnAck) return Lose(0);
        if (packet.kind == mqtt::BrokerPacket::kPubAck) Acknowledge(packet.packetId);
        if (packet.kind == mqtt::BrokerPacket::kPingResp) m_pingPending = false;
    }
    const bool awaiting = !m_inFlight.empty() || m_pingPending;
    if (!m_packets.empty()) {
        m_shared.TellStatus();
        m_answerDue = awaiting ? Clock::now() + kAnswerLimit : Clock::time_point::max();
    }
    return open || Lose(m_connection.Error());
}

bool PublisherRun::Lose(int error) {
    m_lostError = error;
    m_connection.Close();
    return false;
}

void PublisherRun::PublishWaiting() {
    while (m_inFlight.size() < kMaxInFlight) {
        TakeLabels();
        m_events.clear();
        m_shared.inbox.Take(m_events, kTakeBatch);
        if (m_events.empty()) return;
        for (const PublishEvent& event : m_events) {
            const std::string& address = event.report.unitAddress;
            switch (event.kind) {
                case PublishEvent::kReport:
                    m_units.AddReport(event.report, m_messages);
                    break;
                case PublishEvent::kSilent:
                    m_units.AddAvailability(address, false, m_messages);
                    break;
                case PublishEvent::kReporting:
                    m_units.AddAvailability(address, true, m_messages);
                    break;
            }
            PublishMessages(event.kind == PublishEvent::kReport);
        }
    }
}

void PublisherRun::TakeLabels() {
    PublishedLabels labels;
    {
        std::lock_guard lock(m_shared.labelsMutex);
        if (!m_shared.labelsChanged) return;
        m_shared.labelsChanged = false;
        labels.title = cp932::ToUtf8(m_shared.title);
        for (int i = 0; i < kDiChannels; ++i) labels.names[i] = cp932::ToUtf8(m_shared.names[i]);
    }
    m_units.SetLabels(labels, m_messages);
    PublishMessages(false);
}

// A report's messages are acknowledged in the order they went out: its last one ends its wait.
void PublisherRun::PublishMessages(bool lastEndsReport) {
    for (size_t i = 0; i < m_messages.size(); ++i) {
        Publish(m_messages[i], lastEndsReport && i + 1 == m_messages.size());
    }
    m_messages.clear();
}

void PublisherRun::Publish(const mqtt::Message& message, bool endsReport) {
    // Packet id 0 is not allowed.
    if (++m_nextPacketId == 0) m_nextPacketId = 1;
    InFlight& sent = m_inFlight.emplace_back(
        InFlight{m_nextPacketId, mqtt::EncodePublish(message, m_nextPacketId), endsReport});
    if (endsReport) ++m_shared.reportsInFlight;
    if (m_connection.IsOpen()) Queue(sent.packet);
}

void PublisherRun::Queue(const std::string& packet) {
    if (m_answerDue == Clock::time_point::max()) m_answerDue = Clock::now() + kAnswerLimit;
    m_lastQueued = Clock::now();
    m_connection.Queue(packet);
}

void PublisherRun::Acknowledge(uint16_t packetId) {
    auto sent = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                             [packetId](const InFlight& f) { return f.packetId == packetId; });
    if (sent == m_inFlight.end()) return;
    if (sent->endsReport) --m_shared.reportsInFlight;
    m_inFlight.erase(sent);
    m_acknowledged = true;
}

void PublisherRun::TraceDrops() {
    const uint64_t dropped = m_shared.inbox.DroppedReports();
    if (dropped == m_dropsTraced) return;
    m_dropsTraced = dropped;
    Trace(m_tell, "MQTT: %llu reports dropped in all, the oldest first: too many waited\r\n",
          static_cast<unsigned long long>(dropped));
}
