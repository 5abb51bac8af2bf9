#include "mqtt/MqttPublisher.h"

#include "Strings.h"
#include "mqtt/PublisherRun.h"
#include "server/Trace.h"

#include <system_error>

namespace {

// A name or the title: a change wakes the run to republish the discovery configs.
template <typename Label>
void ChangeLabel(PublisherShared& shared, Label& label, const Label& value) {
    {
        std::lock_guard lock(shared.labelsMutex);
        if (value == label) return;
        label = value;
        shared.labelsChanged = true;
    }
    shared.work.Set();
}

}  // namespace

MqttPublisher::MqttPublisher(ServerListener& tell, size_t waitingReports)
    : m_tell(tell), m_shared(waitingReports) {}

MqttPublisher::~MqttPublisher() {
    Stop();
}

void MqttPublisher::Start(const MqttSettings& broker, const std::string& prefix) {
    std::lock_guard lock(m_runMutex);
    if (!m_thread.joinable()) Run(broker, prefix);
}

void MqttPublisher::Stop() {
    std::lock_guard lock(m_runMutex);
    End(false);
}

void MqttPublisher::Restart(const MqttSettings& broker, const std::string& prefix) {
    std::lock_guard lock(m_runMutex);
    End(true);
    Run(broker, prefix);
}

void MqttPublisher::Run(const MqttSettings& broker, const std::string& prefix) {
    // A prefix written into the file by hand may hold what the dialog refuses.
    const bool refused = !broker.host.empty() && HoldsTopicWildcard(prefix);
    if (refused) m_tell.OnAlert(kTextMqttTopicWildcard);
    if (broker.host.empty() || refused) {
        m_running = false;
        m_shared.inbox.Clear();
        return;
    }
    m_shared.stopping = false;
    m_shared.keepWaiting = false;
    m_shared.stop.Reset();
    m_shared.SetKind(PublisherStatus::kConnecting);
    {
        // A run starts with no labels of its own.
        std::lock_guard lock(m_shared.labelsMutex);
        m_shared.labelsChanged = true;
    }
    m_running = true;
    try {
        m_thread = std::thread(
            [this, broker, prefix] { PublisherRun(broker, prefix, m_shared, m_tell).Run(); });
    } catch (const std::system_error&) {
        m_running = false;
        m_shared.SetKind(PublisherStatus::kOff);
        Trace(m_tell, "MQTT: no thread to publish on\r\n");
    }
}

void MqttPublisher::End(bool keepWaiting) {
    if (!m_thread.joinable()) return;
    // Kept running, the worker goes on handing reports over for the next run.
    if (!keepWaiting) m_running = false;
    m_shared.keepWaiting = keepWaiting;
    m_shared.stopping = true;
    m_shared.stop.Set();
    m_thread.join();
    m_shared.SetKind(PublisherStatus::kOff);
}

void MqttPublisher::SetNames(const Names& names) {
    ChangeLabel(m_shared, m_shared.names, names);
}

void MqttPublisher::SetTitle(const std::string& title) {
    ChangeLabel(m_shared, m_shared.title, title);
}

PublisherStatus MqttPublisher::Status() const {
    PublisherStatus status;
    status.kind = m_shared.kind;
    status.waiting = m_shared.inbox.WaitingReports() + m_shared.reportsInFlight;
    status.dropped = m_shared.inbox.DroppedReports();
    return status;
}

void MqttPublisher::OnReport(const Report& report) {
    if (!m_running) return;
    m_shared.inbox.Put({PublishEvent::kReport, report});
    m_handedOver = true;
}

void MqttPublisher::OnIdle() {
    if (!m_handedOver.exchange(false)) return;
    m_shared.work.Set();
    m_shared.TellStatus();
}

void MqttPublisher::OnUnitSilent(const std::string& unitAddress) {
    Put({PublishEvent::kSilent, Report{unitAddress}});
}

void MqttPublisher::OnUnitReporting(const std::string& unitAddress) {
    Put({PublishEvent::kReporting, Report{unitAddress}});
}

void MqttPublisher::Put(PublishEvent event) {
    if (!m_running) return;
    m_shared.inbox.Put(std::move(event));
    m_shared.work.Set();
}
