#pragma once

#include <cstdint>

#include "Args.h"

namespace nr::tools {

inline constexpr std::uint16_t kDefaultPort = 10003;
inline constexpr double kDefaultTimeoutSeconds = 10;
inline constexpr double kMaxTimeoutSeconds = 3600;

// The options every simulated unit takes: where it reports, in which form, how long it waits.
struct ExchangeOptions {
    std::uint16_t port = kDefaultPort;
    bool threeByte = false;
    double timeoutSeconds = kDefaultTimeoutSeconds;

    // Takes the scanner's current argument when it is one of these options.
    bool Take(ArgScanner& args);
};

}  // namespace nr::tools
