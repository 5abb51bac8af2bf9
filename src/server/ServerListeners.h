#pragma once

#include "server/ServerListener.h"

#include <vector>

// Hands everything on to each listener in the order they were added. Listeners are added
// before the worker starts and live as long as this.
class ServerListeners : public ServerListener {
public:
    void Add(ServerListener& listener) { m_listeners.push_back(&listener); }

    void OnReport(const Report& report) override;
    void OnTrace(std::string_view text) override;
    void OnAlert(std::string_view text) override;
    void OnLogWaiting(size_t rows) override;
    void OnStopped() override;
    void OnIdle() override;
    // The earliest of them all.
    std::optional<std::chrono::steady_clock::time_point> WakeAt() override;

private:
    std::vector<ServerListener*> m_listeners;
};
