#pragma once

#include "platform/Winsock.h"
#include "server/FrameAssembler.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// An accepted connection whose frame is not whole yet.
struct WaitingConnection {
    wsock::Socket sock;
    std::string peerAddress;
    std::chrono::steady_clock::time_point deadline;
    FrameAssembler frame;
    // The last receive filled the buffer: more may be there already.
    bool moreArrived = false;
};

// The connections the worker waits on, oldest first, at most kMaxWaiting of them.
class WaitingConnections {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kMaxWaiting = 256;
    // How long a unit may take to send its whole frame, counted from its accept.
    static constexpr auto kFrameTimeout = std::chrono::seconds(2);

    // Takes a new connection; when full, gives back the oldest, which the caller drops.
    std::optional<WaitingConnection> Add(wsock::Socket sock, std::string peerAddress);
    WaitingConnection* Find(wsock::Socket sock);
    // Removes the connection and hands it over; nullopt when it is not waiting.
    std::optional<WaitingConnection> Take(wsock::Socket sock);
    std::vector<WaitingConnection> TakeAll();

    void AppendPollEntries(std::vector<wsock::PollEntry>& entries) const;
    // The sockets whose deadline has passed, oldest first.
    std::vector<wsock::Socket> Overdue(Clock::time_point now) const;
    // nullopt when nothing waits.
    std::optional<Clock::time_point> EarliestDeadline() const;

private:
    std::vector<WaitingConnection> m_connections;
};
