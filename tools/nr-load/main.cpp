// nr-load: many simulated units reporting to a server on this machine, for benchmarks.
#include <signal.h>

#include <atomic>
#include <cstdio>

#include "LoadOptions.h"
#include "LoadRun.h"
#include "LoadSummary.h"

namespace {

// Set by the first Ctrl-C; the units finish the report in hand and the results are printed.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "must be safe to set in a signal handler");

extern "C" void OnInterrupt(int) { g_interrupted.store(true); }

bool CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once.
    action.sa_flags = SA_RESETHAND;
    return sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace nr::tools;
    const auto args = ParseLoadArgs(argc, argv);
    if (args.verdict != ArgsVerdict::kRun) {
        return ReportUsage("nr-load", kLoadUsage, args.verdict, args.error);
    }
    if (!CatchInterrupt()) {
        std::perror("nr-load: sigaction");
        return 1;
    }
    LoadRunResult run = RunLoad(args.options, g_interrupted);
    const bool interrupted = g_interrupted.load();
    const LatencyPercentiles latency = ComputePercentiles(run.tally.latencyUs);
    PrintSummary(stdout, args.options, run, latency, interrupted);
    const bool allRight = run.tally.reports > 0 && run.tally.ok == run.tally.reports;
    const bool complete = run.startError.empty() && !interrupted;
    if (std::fflush(stdout) != 0) return 1;
    return allRight && complete ? 0 : 1;
}
