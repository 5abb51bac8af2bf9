#pragma once

#include "support/Ports.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A server on 127.0.0.1 that serves each connection on a thread of its own and records what
// its first receive brought (nothing for one closed without a byte), as the real server reads
// a frame. A connection that sends nothing is closed after 10 s.
class ScriptedServer {
public:
    enum class Mode {
        kEcho,        // replies as the real server does: lead and state byte
        kSlowEcho,    // the same, but only kSlowReply after the frame came
        kFixedReply,  // sends the given bytes (perhaps none) and closes
        kSilent,      // never replies; holds the connection until the client goes
    };
    static constexpr auto kSlowReply = std::chrono::milliseconds(1100);

    explicit ScriptedServer(Mode mode, Bytes fixedReply = {});
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return m_listener.Port(); }
    // What has been received once it holds `count` frames, or after 10 s.
    std::vector<Bytes> Received(std::size_t count = 0) const;

private:
    void Serve(int fd);
    Bytes ReplyTo(const Bytes& frame) const;

    const Mode m_mode;
    const Bytes m_fixedReply;
    HeldPort m_listener;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_receivedChanged;
    std::vector<Bytes> m_received;
    std::vector<int> m_open;  // connections not yet closed
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};
