#pragma once

#include "mqtt/MqttSettings.h"
#include "mqtt/PublisherShared.h"
#include "mqtt/PublisherStatus.h"
#include "server/DiChannels.h"
#include "server/ServerListener.h"
#include "units/UnitTableListener.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// Every report published to an MQTT broker, on a thread of its own: the worker only hands a
// report over, and never waits for the broker. Publishing runs from Start to the server's stop
// (or Stop); the owner starts it once the server listens, since the port names the default
// topic prefix.
class MqttPublisher : public ServerListener, public UnitTableListener {
public:
    // Reports that wait in memory while the broker is away; beyond it the oldest go.
    static constexpr size_t kWaitingReports = 100'000;
    using Names = std::array<std::string, kDiChannels>;  // DI1 first, CP932

    // Traces and alerts go to tell, from the publisher's thread.
    explicit MqttPublisher(ServerListener& tell, size_t waitingReports = kWaitingReports);
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // A broker with no host publishes nothing. The prefix is CP932. Nothing while running.
    void Start(const MqttSettings& broker, const std::string& prefix);
    // Sends what waits (briefly), publishes offline and disconnects; returns once done.
    void Stop();
    // New settings while serving: the reports that wait, and those that come meanwhile, go to
    // the new run.
    void Restart(const MqttSettings& broker, const std::string& prefix);
    // Any thread. Each change republishes the discovery configs.
    void SetNames(const Names& names);
    void SetTitle(const std::string& title);
    PublisherStatus Status() const;
    // Before Start. Called whenever Status() may have changed, on whichever thread changed it
    // (the worker's, the publisher's, the owner's), and often: it must not wait.
    void OnStatusChange(std::function<void()> hook) { m_shared.statusChanged = std::move(hook); }

    void OnReport(const Report& report) override;
    // The worker has handed over what arrived: one wake-up for all of it.
    void OnIdle() override;
    void OnStopped() override { Stop(); }
    void OnUnitSilent(const std::string& unitAddress) override;
    void OnUnitReporting(const std::string& unitAddress) override;

private:
    // Under m_runMutex.
    void Run(const MqttSettings& broker, const std::string& prefix);
    void End(bool keepWaiting);
    void Put(PublishEvent event);

    ServerListener& m_tell;
    PublisherShared m_shared;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_handedOver{false};
    // The owner's restart and the worker's stop may meet.
    std::mutex m_runMutex;
    std::thread m_thread;
};
