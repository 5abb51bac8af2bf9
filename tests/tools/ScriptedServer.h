#pragma once

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace nr::tools::test {

using Bytes = std::vector<std::uint8_t>;

// A server on 127.0.0.1 at a free port that serves one connection at a time and records
// what each connection's single receive brought, as the real server reads a frame.
class ScriptedServer {
public:
    enum class Mode {
        kEcho,        // replies as the real server does: lead and state byte
        kFixedReply,  // sends the given bytes (perhaps none) and closes
        kSilent,      // never replies; holds the connection until the client goes
    };

    explicit ScriptedServer(Mode mode, Bytes fixedReply = {});
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    std::vector<Bytes> Received() const;

private:
    // True once fd is readable; false on time-out or when the server is being stopped.
    bool WaitReadable(int fd, int timeoutMs) const;
    void Loop();
    void Serve(int client);

    const Mode m_mode;
    const Bytes m_fixedReply;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    int m_wake[2] = {-1, -1};  // written once to stop the server
    mutable std::mutex m_mutex;
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
