#pragma once

#include "mqtt/PublisherInbox.h"
#include "mqtt/PublisherStatus.h"
#include "platform/WakeEvent.h"
#include "server/DiChannels.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

// What the publisher's thread shares with the threads that feed it and show its status.
struct PublisherShared {
    explicit PublisherShared(size_t capacity) : inbox(capacity) {}

    PublisherInbox inbox;
    WakeEvent work;  // events or labels are waiting
    WakeEvent stop;  // set when the run is to end; reset for the next run
    std::atomic<bool> stopping{false};
    // The run ends for another with new settings: what waits is theirs.
    std::atomic<bool> keepWaiting{false};
    std::atomic<PublisherStatus::Kind> kind{PublisherStatus::kOff};
    std::atomic<size_t> reportsInFlight{0};
    // Set before a run starts; see MqttPublisher::OnStatusChange.
    std::function<void()> statusChanged;

    void SetKind(PublisherStatus::Kind now) {
        kind = now;
        TellStatus();
    }
    void TellStatus() const {
        if (statusChanged) statusChanged();
    }

    // The operator's names and title, CP932; changed: not yet taken by the run.
    std::mutex labelsMutex;
    std::array<std::string, kDiChannels> names;
    std::string title;
    bool labelsChanged = true;
};
