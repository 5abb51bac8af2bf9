#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace nr::tools::test {

using Bytes = std::vector<std::uint8_t>;

// A server on 127.0.0.1 at a free port that serves its connections side by side and records
// what each connection's first receive brought (nothing for one closed without a byte), as
// the real server reads a frame. A connection that sends nothing is closed after 10 s.
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

    std::uint16_t Port() const { return m_port; }
    std::vector<Bytes> Received() const;
    // Received() once it holds `count` entries, or after 10 s.
    std::vector<Bytes> WaitForReceived(std::size_t count) const;

private:
    struct Client;

    void Loop();
    // True when the client is done with and can be closed.
    bool Receive(Client& client);
    Bytes ReplyTo(const Bytes& frame) const;

    const Mode m_mode;
    const Bytes m_fixedReply;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    int m_wake[2] = {-1, -1};  // written once to stop the server
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_receivedChanged;
    std::vector<Bytes> m_received;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens, held for as long as the object lives.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    std::uint16_t Port() const { return m_port; }

private:
    int m_socket = -1;
    std::uint16_t m_port = 0;
};

}  // namespace nr::tools::test
