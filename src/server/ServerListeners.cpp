#include "server/ServerListeners.h"

void ServerListeners::OnReport(const Report& report) {
    for (ServerListener* listener : m_listeners) listener->OnReport(report);
}

void ServerListeners::OnTrace(std::string_view text) {
    for (ServerListener* listener : m_listeners) listener->OnTrace(text);
}

void ServerListeners::OnAlert(std::string_view text) {
    for (ServerListener* listener : m_listeners) listener->OnAlert(text);
}

void ServerListeners::OnLogWaiting(size_t rows) {
    for (ServerListener* listener : m_listeners) listener->OnLogWaiting(rows);
}

void ServerListeners::OnStopped() {
    for (ServerListener* listener : m_listeners) listener->OnStopped();
}

void ServerListeners::OnIdle() {
    for (ServerListener* listener : m_listeners) listener->OnIdle();
}

std::optional<std::chrono::steady_clock::time_point> ServerListeners::WakeAt() {
    std::optional<std::chrono::steady_clock::time_point> earliest;
    for (ServerListener* listener : m_listeners) {
        std::optional<std::chrono::steady_clock::time_point> at = listener->WakeAt();
        if (at && (!earliest || *at < *earliest)) earliest = at;
    }
    return earliest;
}
