#pragma once

#include <cstdint>
#include <string>

#include "Args.h"
#include "Exchange.h"

namespace nr::tools {

struct UnitOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = kDefaultPort;
    bool threeByte = false;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    std::uint8_t lead = 0;
    std::uint8_t state = 0;
};

extern const char kUnitUsage[];

ParsedArgs<UnitOptions> ParseUnitArgs(int argc, char** argv);

}  // namespace nr::tools
