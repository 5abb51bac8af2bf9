#pragma once

#include "Args.h"
#include "ExchangeOptions.h"

#include <cstdint>
#include <string>

namespace nr::tools {

struct UnitOptions : ExchangeOptions {
    std::string host = "127.0.0.1";
    std::uint8_t lead = 0;
    std::uint8_t state = 0;
};

extern const char kUnitUsage[];

ParsedArgs<UnitOptions> ParseUnitArgs(int argc, char** argv);

}  // namespace nr::tools
