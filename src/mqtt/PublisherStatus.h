#pragma once

#include <cstddef>
#include <cstdint>

// What the operator is shown of the publishing.
struct PublisherStatus {
    enum Kind {
        kOff,                 // no broker set, or not serving
        kConnecting,          // a connection is being made
        kConnected,           // reports go out as they come
        kWaitingToReconnect,  // the broker is away; the next try is due later
    };
    Kind kind = kOff;
    size_t waiting = 0;    // reports the broker has not acknowledged yet
    uint64_t dropped = 0;  // reports that waited too long among too many, oldest first
};
