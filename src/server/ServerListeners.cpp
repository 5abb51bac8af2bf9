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

void ServerListeners::OnStopped() {
    for (ServerListener* listener : m_listeners) listener->OnStopped();
}

void ServerListeners::OnIdle() {
    for (ServerListener* listener : m_listeners) listener->OnIdle();
}
