// nr-load: many simulated units reporting to a server on this machine, for benchmarks.
#include "LoadOptions.h"
#include "LoadRun.h"
#include "LoadSummary.h"
#include "StopRequest.h"

#include <signal.h>

#include <cstdio>

namespace {

// The first Ctrl-C ends the run: the units finish the report in hand and the results are
// printed. A second one ends the program at once.
nr::tools::StopRequest g_stop;

extern "C" void OnInterrupt(int) {
    g_stop.Request();
}

bool CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    return sigemptyset(&action.sa_mask) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace nr::tools;
    const auto args = ParseLoadArgs(argc, argv);
    if (args.verdict != ArgsVerdict::kRun) {
        return ReportUsage("nr-load", kLoadUsage, args.verdict, args.error);
    }
    if (!g_stop.Valid() || !CatchInterrupt()) {
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
