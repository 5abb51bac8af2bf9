#pragma once

#include "platform/Winsock.h"
#include "server/WaitingConnections.h"

#include <chrono>
#include <string>
#include <vector>

// What one run of the worker holds, from its start to its stop steps.
struct ServeRun {
    static constexpr size_t kReceiveBufferSize = 8192;

    explicit ServeRun(SOCKET listen) : sockListen(listen), buffer(kReceiveBufferSize) {}

    // The socket of the start that began this run; only this run closes it.
    const SOCKET sockListen;
    WaitingConnections waiting;
    std::vector<char> buffer;
    // Only this run sets the peer line, which is empty when it begins.
    std::string peerLine;
    // After a failed accept the listening socket rests until then.
    std::chrono::steady_clock::time_point acceptRestUntil{};
};
