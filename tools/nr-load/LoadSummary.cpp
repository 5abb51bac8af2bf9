#include "LoadSummary.h"

#include <algorithm>
#include <cinttypes>

namespace nr::tools {
namespace {

std::uint32_t NearestRank(const std::vector<std::uint32_t>& sorted, unsigned percent) {
    const std::size_t rank = (sorted.size() * percent + 99) / 100;
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

LatencyPercentiles ComputePercentiles(std::vector<std::uint32_t>& latencyUs) {
    if (latencyUs.empty()) return {};
    std::sort(latencyUs.begin(), latencyUs.end());
    const auto slow = std::upper_bound(latencyUs.begin(), latencyUs.end(), kSlowReplyUs);
    return {NearestRank(latencyUs, 50), NearestRank(latencyUs, 90), NearestRank(latencyUs, 99),
            latencyUs.back(), static_cast<std::uint64_t>(latencyUs.end() - slow)};
}

void PrintSummary(std::FILE* out, const LoadOptions& options, const LoadRunResult& run,
                  const LatencyPercentiles& latency, bool stoppedEarly) {
    const LoadTally& tally = run.tally;
    const double rate = run.seconds > 0 ? static_cast<double>(tally.reports) / run.seconds : 0;

    std::fprintf(out, "nr-load: %u unit%s on 127.0.0.1:%u, %s frames, ", options.units,
                 options.units == 1 ? "" : "s", static_cast<unsigned>(options.port),
                 options.threeByte ? "three-byte" : "two-byte");
    if (options.burst) {
        std::fprintf(out, "all at once");
    } else if (options.rate) {
        std::fprintf(out, "paced at %g/s", *options.rate);
    } else {
        std::fprintf(out, "as fast as possible");
    }
    if (options.silent > 0) {
        std::fprintf(out, ", %u silent connection%s held", options.silent,
                     options.silent == 1 ? "" : "s");
    }
    std::fprintf(out, "\n");
    std::fprintf(out, "  reports      %12" PRIu64 "\n", tally.reports);
    std::fprintf(out, "  ok           %12" PRIu64 "\n", tally.ok);
    std::fprintf(out,
                 "  missing      %12" PRIu64 "  (cannot connect %" PRIu64
                 ", no reply in time %" PRIu64 ", closed early %" PRIu64 ", other %" PRIu64 ")\n",
                 tally.Missing(), tally.cannotConnect, tally.noReplyInTime, tally.closedEarly,
                 tally.otherFailure);
    std::fprintf(out, "  wrong        %12" PRIu64 "\n", tally.wrong);
    std::fprintf(out, "  seconds      %12.3f\n", run.seconds);
    std::fprintf(out, "  rate/s       %12.1f\n", rate);
    std::fprintf(
        out, "  latency us   p50 %" PRIu32 "  p90 %" PRIu32 "  p99 %" PRIu32 "  max %" PRIu32 "\n",
        latency.p50, latency.p90, latency.p99, latency.max);
    std::fprintf(out, "  over 1 s     %12" PRIu64 "\n", latency.overOneSecond);
    if (options.silent > 0) {
        std::fprintf(out,
                     "  silent connections closed by the server and opened again: %" PRIu64 "\n",
                     run.silentReopened);
    }
    if (!tally.firstProblem.empty())
        std::fprintf(out, "  first problem: %s\n", tally.firstProblem.c_str());
    if (!run.startError.empty()) {
        std::fprintf(out, "  stopped early: %s\n", run.startError.c_str());
    } else if (stoppedEarly) {
        std::fprintf(out, "  stopped early by an interrupt\n");
    }

    std::fprintf(out,
                 "reports=%" PRIu64 " ok=%" PRIu64 " missing=%" PRIu64 " wrong=%" PRIu64
                 " seconds=%.2f rate=%.1f p50_us=%" PRIu32 " p90_us=%" PRIu32 " p99_us=%" PRIu32
                 " max_us=%" PRIu32 " over_1s=%" PRIu64 " silent_reopened=%" PRIu64 "\n",
                 tally.reports, tally.ok, tally.Missing(), tally.wrong, run.seconds, rate,
                 latency.p50, latency.p90, latency.p99, latency.max, latency.overOneSecond,
                 run.silentReopened);
}

}  // namespace nr::tools
