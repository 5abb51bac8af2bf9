#pragma once

#include "platform/WakeEvent.h"
#include "platform/Winsock.h"

#include <atomic>
#include <optional>
#include <string>

class ServerListener;

// The signal server without a window: a start opens the listening socket, a worker serves it
// until a stop, and everything it sees goes to the listener. Each start's socket belongs to the
// worker that serves it; a start waits until the previous worker has ended.
class SignalServer {
public:
    explicit SignalServer(ServerListener& listener);
    ~SignalServer();
    SignalServer(const SignalServer&) = delete;
    SignalServer& operator=(const SignalServer&) = delete;

    // Opens the listening socket on every local address and marks the server running; nullopt,
    // or the message to show (with the Windows Sockets number) when it cannot.
    std::optional<std::string> Listen(int port);
    // The socket Listen opened, when no worker will serve it.
    void AbandonListening();
    // On the worker: serves the socket of the last Listen until a stop, then closes it.
    void Serve();
    // Any thread: the worker wakes, closes what it holds and tells the listener.
    void RequestStop();
    // Any thread: the worker wakes and asks the listener again when to wake next, as after a
    // change to what the listener waits for.
    void RequestWake() { m_eventStop.Set(); }
    bool IsRunning() const { return m_running; }

private:
    ServerListener& m_listener;
    std::atomic<bool> m_running{false};
    wsock::Socket m_sockListen = wsock::kInvalidSocket;
    // Wakes the worker at once when the server is to stop, or to look at the time again.
    WakeEvent m_eventStop;
};
