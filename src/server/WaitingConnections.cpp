#include "server/WaitingConnections.h"

#include <algorithm>
#include <utility>

std::optional<WaitingConnection> WaitingConnections::Add(wsock::Socket sock,
                                                         std::string peerAddress) {
    std::optional<WaitingConnection> oldest;
    if (m_connections.size() >= kMaxWaiting) {
        oldest = std::move(m_connections.front());
        m_connections.erase(m_connections.begin());
    }
    m_connections.push_back(
        {sock, std::move(peerAddress), Clock::now() + kFrameTimeout, {}, false});
    return oldest;
}

WaitingConnection* WaitingConnections::Find(wsock::Socket sock) {
    auto it = std::find_if(m_connections.begin(), m_connections.end(),
                           [sock](const WaitingConnection& c) { return c.sock == sock; });
    return it == m_connections.end() ? nullptr : &*it;
}

std::optional<WaitingConnection> WaitingConnections::Take(wsock::Socket sock) {
    WaitingConnection* found = Find(sock);
    if (!found) return std::nullopt;
    auto it = m_connections.begin() + (found - m_connections.data());
    std::optional<WaitingConnection> taken = std::move(*it);
    m_connections.erase(it);
    return taken;
}

std::vector<WaitingConnection> WaitingConnections::TakeAll() {
    return std::exchange(m_connections, {});
}

void WaitingConnections::AppendPollEntries(std::vector<wsock::PollEntry>& entries) const {
    for (const WaitingConnection& c : m_connections) entries.push_back({c.sock});
}

std::vector<wsock::Socket> WaitingConnections::Overdue(Clock::time_point now) const {
    std::vector<wsock::Socket> overdue;
    // Deadlines grow with the accept order, so the overdue ones lead.
    for (const WaitingConnection& c : m_connections) {
        if (c.deadline > now) break;
        overdue.push_back(c.sock);
    }
    return overdue;
}

std::optional<WaitingConnections::Clock::time_point> WaitingConnections::EarliestDeadline() const {
    if (m_connections.empty()) return std::nullopt;
    return m_connections.front().deadline;
}
