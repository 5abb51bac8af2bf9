#pragma once

#include "platform/Winsock.h"
#include "server/FrameAssembler.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// An accepted connection whose frame is not whole yet.
struct WaitingConnection {
    SOCKET sock;
    std::string peerAddress;
    std::chrono::steady_clock::time_point deadline;
    FrameAssembler frame;
};

// The connections the worker waits on, oldest first, at most kMaxWaiting of them.
class WaitingConnections {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kMaxWaiting = 256;
    // How long a unit may take to send its whole frame, counted from its accept.
    static constexpr auto kFrameTimeout = std::chrono::seconds(2);

    // Takes a new connection; when full, gives back the oldest, which the caller drops.
    std::optional<WaitingConnection> Add(SOCKET sock, std::string peerAddress);
    WaitingConnection* Find(SOCKET sock);
    // Removes a waiting connection and hands it over.
    WaitingConnection Take(SOCKET sock);
    std::vector<WaitingConnection> TakeAll();

    void AppendPollEntries(std::vector<wsock::PollEntry>& entries) const;
    // The sockets whose deadline has passed, oldest first.
    std::vector<SOCKET> Overdue(Clock::time_point now) const;
    // nullopt when nothing waits.
    std::optional<Clock::time_point> EarliestDeadline() const;

private:
    std::vector<WaitingConnection> m_connections;
};
