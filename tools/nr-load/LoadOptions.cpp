#include "LoadOptions.h"

#include <string>
#include <string_view>

namespace nr::tools {

const char kLoadUsage[] =
    "Usage: nr-load (--count N | --duration SECONDS) [--units N] [--rate PER_SECOND]\n"
    "               [--port PORT] [--three] [--timeout SECONDS]\n"
    "Simulates units that report to an NR-QD8K server on 127.0.0.1 and checks every reply.\n"
    "\n"
    "  --count N           reports in all, 1 to 10000000\n"
    "  --duration SECONDS  how long to run, up to 3600 (10000000 reports at most even so)\n"
    "                      with both, the run ends at whichever comes first\n"
    "  --units N           concurrent units, 1 to 1000 (default 1)\n"
    "  --rate PER_SECOND   total reports per second, evenly paced (default: as fast as\n"
    "                      the server answers)\n"
    "  --port PORT         server port on 127.0.0.1, 1 to 65535 (default 10003)\n"
    "  --three             send three-byte frames fa LEAD STATE\n"
    "  --timeout SECONDS   bound on each report, connect to whole reply (default 10)\n"
    "  --help              show this text\n"
    "\n"
    "Each unit connects, sends one frame, reads the two-byte reply and closes, again and\n"
    "again. Report n sends state byte n & 0xff and lead byte (n >> 8) & 0xff (fb in place\n"
    "of fa in two-byte frames), so each reply must echo its own frame. Ctrl-C stops early.\n"
    "Prints a table, then one line for scripts:\n"
    "  reports=N ok=N missing=N wrong=N seconds=S rate=R p50_us=N p90_us=N p99_us=N max_us=N\n"
    "Latency runs from the start of the connect to the whole reply. Exit status: 0 every\n"
    "report got its right reply; 1 otherwise or stopped early; 2 bad arguments.\n";

ParsedArgs<LoadOptions> ParseLoadArgs(int argc, char** argv) {
    ParsedArgs<LoadOptions> parsed;
    LoadOptions& options = parsed.options;
    ArgScanner args(argc, argv);
    while (args.Next()) {
        const std::string_view arg = args.Current();
        if (args.CurrentIsHelp()) {
            parsed.verdict = ArgsVerdict::kHelp;
            return parsed;
        } else if (options.Take(args)) {
            continue;
        } else if (arg == "--count") {
            options.count = args.WholeValue(1, kMaxReports);
        } else if (arg == "--duration") {
            options.durationSeconds = args.DecimalValue(0.001, kMaxDurationSeconds);
        } else if (arg == "--units") {
            if (const auto units = args.WholeValue(1, kMaxUnits)) {
                options.units = static_cast<unsigned>(*units);
            }
        } else if (arg == "--rate") {
            options.rate = args.DecimalValue(0.01, kMaxRate);
        } else if (arg == "--host") {
            args.Fail("--host: nr-load talks to 127.0.0.1 only");
        } else {
            args.Fail((args.CurrentIsOption() ? "unknown option " : "unexpected argument ") +
                      std::string(arg));
        }
    }
    if (!args.Failed() && !options.count && !options.durationSeconds) {
        args.Fail("give --count or --duration (or both): a run is always bounded");
    }
    if (args.Failed()) {
        parsed.verdict = ArgsVerdict::kUsageError;
        parsed.error = args.Error();
    }
    return parsed;
}

}  // namespace nr::tools
