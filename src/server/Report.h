#pragma once

#include "server/DiChannels.h"

#include <cstdint>
#include <ctime>
#include <string>

// One unit's report, as every listener of the server gets it before the unit's reply goes out.
struct Report {
    std::string unitAddress;  // dotted IPv4
    uint8_t lead = 0;         // the frame's lead byte, the reply's first
    uint8_t state = 0;        // all eight bits as received, the reply's second
    std::time_t time = 0;     // when the frame was whole

    // Channel 0 is DI1; bits 5 to 7 are no input.
    bool Input(int channel) const { return (state >> channel) & 1; }
};
