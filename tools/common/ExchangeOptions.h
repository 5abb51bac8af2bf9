#pragma once

#include "Args.h"

#include <cstdint>

namespace nr::tools {

inline constexpr std::uint16_t kDefaultPort = 10003;
inline constexpr double kDefaultTimeoutSeconds = 10;
inline constexpr double kMaxTimeoutSeconds = 3600;

// The options every simulated unit takes: where it reports, in which form, how long it waits.
struct ExchangeOptions {
    std::uint16_t port = kDefaultPort;
    bool threeByte = false;
    double timeoutSeconds = kDefaultTimeoutSeconds;

    // The parser fills these fields: the object must stay where it is until it has parsed.
    void AddTo(CLI::App& parser);
};

}  // namespace nr::tools
