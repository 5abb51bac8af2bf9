#pragma once

#include "platform/Winsock.h"
#include "server/WaitingConnections.h"

#include <atomic>
#include <chrono>
#include <vector>

class ServerListener;
class WakeEvent;

// One run of the worker, from the socket a start opened to the stop steps. One worker serves
// every unit side by side: each accepted connection waits in one poll set with the listening
// socket and the stop event until its frame is whole, and is served then. A unit that says
// nothing holds up nobody but itself.
class ServeRun {
public:
    static constexpr size_t kReceiveBufferSize = 8192;

    ServeRun(wsock::Socket listening, const std::atomic<bool>& running, WakeEvent& stopEvent,
             ServerListener& listener);
    ServeRun(const ServeRun&) = delete;
    ServeRun& operator=(const ServeRun&) = delete;

    // Serves until running is cleared, then closes the waiting connections and the listening
    // socket, and tells the listener.
    void Serve();

private:
    using Clock = std::chrono::steady_clock;

    int WaitMilliseconds(Clock::time_point now) const;
    void AcceptPending();
    void ServeArrived(wsock::Socket sock);
    void ServeConnection(const WaitingConnection& connection);
    // A reset leaves nothing of the connection behind; an orderly close is what a unit expects.
    void DropConnection(const WaitingConnection& connection, const char* reason,
                        bool reset = false);
    void StopServing();

    // The socket of the start that began this run; only this run closes it.
    const wsock::Socket m_sockListen;
    const std::atomic<bool>& m_running;
    WakeEvent& m_stopEvent;
    ServerListener& m_listener;
    WaitingConnections m_waiting;
    std::vector<char> m_buffer;
    // After a failed accept the listening socket rests until then.
    Clock::time_point m_acceptRestUntil{};
};
