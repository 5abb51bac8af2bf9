#pragma once

#include "LoadOptions.h"
#include "LoadRun.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace nr::tools {

// A reply slower than this is one a unit waited for: a lost connection request, resent.
inline constexpr std::uint32_t kSlowReplyUs = 1'000'000;

struct LatencyPercentiles {
    std::uint32_t p50 = 0;
    std::uint32_t p90 = 0;
    std::uint32_t p99 = 0;
    std::uint32_t max = 0;
    std::uint64_t overOneSecond = 0;  // replies slower than kSlowReplyUs
};

// Nearest-rank percentiles and the count of slow replies; sorts the samples in place. All zero
// without samples.
LatencyPercentiles ComputePercentiles(std::vector<std::uint32_t>& latencyUs);

// The table for people, then the one line for scripts.
void PrintSummary(std::FILE* out, const LoadOptions& options, const LoadRunResult& run,
                  const LatencyPercentiles& latency, bool stoppedEarly);

}  // namespace nr::tools
