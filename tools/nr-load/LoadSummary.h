#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "LoadOptions.h"
#include "LoadRun.h"

namespace nr::tools {

struct LatencyPercentiles {
    std::uint32_t p50 = 0;
    std::uint32_t p90 = 0;
    std::uint32_t p99 = 0;
    std::uint32_t max = 0;
};

// Nearest-rank percentiles; sorts the samples in place. All zero without samples.
LatencyPercentiles ComputePercentiles(std::vector<std::uint32_t>& latencyUs);

// The table for people, then the one line for scripts.
void PrintSummary(std::FILE* out, const LoadOptions& options, const LoadRunResult& run,
                  const LatencyPercentiles& latency, bool stoppedEarly);

}  // namespace nr::tools
