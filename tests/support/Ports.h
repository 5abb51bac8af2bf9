#pragma once

#include "support/TestSockets.h"

#include <random>
#include <stdexcept>

// A TCP socket on a port the system chose, held for as long as this lives on 127.0.0.1: bound
// alone (connections to it are refused), or listening (connections complete, and nothing answers
// until accepted; the server cannot have the port either).
class HeldPort {
public:
    enum class Kind { kBoundOnly, kListening };
    explicit HeldPort(Kind kind = Kind::kBoundOnly)
        : m_sock(test_net::Hold(kind == Kind::kListening, &m_port)) {
        if (m_sock == test_net::kNone) throw std::runtime_error("cannot hold a test port");
    }
    ~HeldPort() { test_net::Close(m_sock); }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;

    int Port() const { return m_port; }
    test_net::Handle Socket() const { return m_sock; }

private:
    int m_port = 0;
    test_net::Handle m_sock;
};

// A free TCP port on 127.0.0.1 at the time of asking, below the ranges the systems give the
// client ends of connections (from 32768 on Linux, 49152 on Windows): a unit of a test running
// beside this one never takes it before the server binds it.
inline int FreePort() {
    constexpr int kFirst = 20000, kCount = 12000;
    thread_local std::mt19937 pick{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        int port = kFirst + static_cast<int>(pick() % kCount);
        const test_net::Handle sock = test_net::Hold(false, &port);
        if (sock == test_net::kNone) continue;
        test_net::Close(sock);
        return port;
    }
    return HeldPort().Port();
}
