#pragma once

#include "Net.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace nr::tools {

// Connections that connect and never send, as a port scanner, a health check or a half-broken
// unit makes them, held open until this object goes. With `reopen`, one the server closes is
// opened again at once, so that the server always has as many to deal with.
class SilentConnections {
public:
    SilentConnections(const Endpoint& server, bool reopen);
    ~SilentConnections();
    SilentConnections(const SilentConnections&) = delete;
    SilentConnections& operator=(const SilentConnections&) = delete;

    // Opens `count` of them and waits until each is connected, or still pending at `deadline`
    // (a server whose listen queue is full); false with *error when one is refused or fails.
    bool Open(unsigned count, std::chrono::steady_clock::time_point deadline, std::string* error);
    // How many the server closed and were opened again.
    std::uint64_t Reopened() const { return m_reopened.load(); }

private:
    void Watch();
    void Reopen(WaitEntry& entry);
    void CloseAll();

    const Endpoint m_server;
    const bool m_reopen;
    std::vector<WaitEntry> m_entries;
    std::atomic<bool> m_ending{false};
    std::atomic<std::uint64_t> m_reopened{0};
    std::thread m_watcher;
};

}  // namespace nr::tools
