#pragma once

#include "Args.h"
#include "ExchangeOptions.h"

#include <cstdint>
#include <optional>

namespace nr::tools {

// Every run is bounded: by a count, a duration or both, and never beyond these caps.
inline constexpr std::uint64_t kMaxReports = 10'000'000;
inline constexpr double kMaxDurationSeconds = 3600;
inline constexpr std::uint64_t kMaxUnits = 1000;
inline constexpr double kMaxRate = 1'000'000;
inline constexpr std::uint64_t kMaxSilent = 1000;

struct LoadOptions : ExchangeOptions {
    unsigned units = 1;
    unsigned silent = 0;     // connections held open and silent for the whole run
    std::uint32_t from = 0;  // unit i reports from this address + i; 0: all from any
    bool burst = false;      // every unit reports once, all at the same instant
    std::optional<std::uint64_t> count;
    std::optional<double> durationSeconds;
    std::optional<double> rate;  // total reports per second; none: as fast as possible
};

extern const char kLoadUsage[];

ParsedArgs<LoadOptions> ParseLoadArgs(int argc, char** argv);

}  // namespace nr::tools
