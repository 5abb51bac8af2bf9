#include "SilentConnections.h"

#include "Address.h"
#include "Exchange.h"

#include <vector>

namespace nr::tools {
namespace {

using Clock = std::chrono::steady_clock;

// How soon the watcher notices that it is to end: it has no other wake-up to wait on.
constexpr int kWatchSliceMs = 50;

}  // namespace

SilentConnections::SilentConnections(const Endpoint& server, bool reopen)
    : m_server(server), m_reopen(reopen) {}

SilentConnections::~SilentConnections() {
    if (m_watcher.joinable()) {
        m_ending = true;
        m_watcher.join();
    }
    CloseAll();
}

bool SilentConnections::Open(unsigned count, Clock::time_point deadline, std::string* error) {
    const auto fail = [&](const char* what, int code) {
        *error = std::string(what) + " a silent connection to " + FormatAddress(m_server) + ": " +
                 NetErrorText(code);
        CloseAll();
        return false;
    };
    for (unsigned i = 0; i < count; ++i) {
        const SocketHandle sock = StartConnect(m_server);
        if (sock == kNoSocket) return fail("cannot open", LastNetError());
        m_entries.push_back({sock, true});
    }
    std::vector<WaitEntry> pending = m_entries;
    while (!pending.empty()) {
        const int ready = WaitSockets(pending.data(), pending.size(), MillisecondsUntil(deadline));
        if (ready == 0) break;
        if (ready < 0) return fail("cannot wait for", LastNetError());
        for (const WaitEntry& entry : pending) {
            if (!entry.ready) continue;
            if (const int code = ConnectError(entry.sock); code != 0) {
                return fail("cannot open", code);
            }
        }
        std::erase_if(pending, [](const WaitEntry& entry) { return entry.ready; });
    }
    for (WaitEntry& entry : m_entries) entry.forWriting = false;
    if (m_reopen) m_watcher = std::thread(&SilentConnections::Watch, this);
    return true;
}

void SilentConnections::Watch() {
    while (!m_ending) {
        std::erase_if(m_entries, [](const WaitEntry& entry) { return entry.sock == kNoSocket; });
        if (m_entries.empty()) return;
        if (WaitSockets(m_entries.data(), m_entries.size(), kWatchSliceMs) < 0) {
            return;  // the connections stay as they are until the end
        }
        for (WaitEntry& entry : m_entries) {
            if (!entry.ready) continue;
            char ignored[256];
            const long got = ReceiveBytes(entry.sock, ignored, sizeof ignored);
            const int error = got < 0 ? LastNetError() : 0;
            if (got > 0 || (got < 0 && IsWouldBlock(error))) continue;
            if (got < 0 && IsConnectionRefused(error)) {
                // Nothing listens any more: opening again would only be refused again.
                CloseSocket(entry.sock);
                entry.sock = kNoSocket;
                continue;
            }
            Reopen(entry);
        }
    }
}

void SilentConnections::Reopen(WaitEntry& entry) {
    CloseSocket(entry.sock);
    entry.sock = StartConnect(m_server);
    ++m_reopened;
}

void SilentConnections::CloseAll() {
    for (const WaitEntry& entry : m_entries) {
        if (entry.sock != kNoSocket) CloseSocket(entry.sock);
    }
    m_entries.clear();
}

}  // namespace nr::tools
