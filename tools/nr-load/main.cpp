// nr-load: many simulated units reporting to a server on this machine, for benchmarks.
#include "LoadOptions.h"
#include "LoadRun.h"
#include "LoadSummary.h"
#include "Net.h"
#include "StopRequest.h"

#include <cstdio>

namespace {

// The first Ctrl-C ends the run: the units finish the report in hand and the results are
// printed. A second one ends the program at once.
nr::tools::StopRequest g_stop;

}  // namespace

int main(int argc, char** argv) {
    using namespace nr::tools;
    const auto args = ParseLoadArgs(argc, argv);
    if (args.verdict != ArgsVerdict::kRun) {
        return ReportUsage("nr-load", kLoadUsage, args.verdict, args.error);
    }
    const NetSession net;
    if (!net.Ok()) {
        std::fprintf(stderr, "nr-load: cannot start Windows Sockets\n");
        return 1;
    }
    if (!g_stop.Valid() || !g_stop.CatchInterrupt()) {
        std::perror("nr-load: cannot prepare for Ctrl-C");
        return 1;
    }
    LoadRunResult run = RunLoad(args.options, g_stop);
    const LatencyPercentiles latency = ComputePercentiles(run.tally.latencyUs);
    PrintSummary(stdout, args.options, run, latency, g_stop.Requested());
    const bool allRight = run.tally.reports > 0 && run.tally.ok == run.tally.reports;
    if (std::fflush(stdout) != 0) return 1;
    return allRight && !g_stop.Requested() ? 0 : 1;
}
