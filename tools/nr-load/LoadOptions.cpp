#include "LoadOptions.h"

#include <string>

namespace nr::tools {

const char kLoadUsage[] =
    "Usage: nr-load (--count N | --duration SECONDS | --burst) [--units N] [--rate PER_SECOND]\n"
    "               [--silent K] [--from ADDRESS] [--port PORT] [--three] [--timeout SECONDS]\n"
    "Simulates units that report to an NR-QD8K server on 127.0.0.1 and checks every reply.\n"
    "\n"
    "  --count N           reports in all, 1 to 10000000\n"
    "  --duration SECONDS  how long to run, up to 3600 (10000000 reports at most even so)\n"
    "                      with both, the run ends at whichever comes first\n"
    "  --burst             every unit reports once, all at the same instant, as after a\n"
    "                      power dip; takes no --count, --duration or --rate\n"
    "  --units N           concurrent units, 1 to 1000 (default 1)\n"
    "  --rate PER_SECOND   total reports per second, evenly paced (default: as fast as\n"
    "                      the server answers)\n"
    "  --silent K          also hold K connections open that never send, 0 to 1000, for\n"
    "                      the whole run; one the server closes is opened again (default 0)\n"
    "  --from ADDRESS      each unit reports from an address of its own: the first from\n"
    "                      ADDRESS, the next from the address after it, and so on; all in\n"
    "                      127.0.0.0/8, which is this machine (default: all from one)\n"
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
    "  over_1s=N silent_reopened=N\n"
    "Latency runs from the start of the connect to the whole reply; over_1s counts the replies\n"
    "that took longer than a second. The silent connections are no reports. Exit status: 0\n"
    "every report got its right reply; 1 otherwise or stopped early; 2 bad arguments.\n";

namespace {

// A dotted address in 127.0.0.0/8, handed on as its number.
CLI::Validator LoopbackAddress() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::uint64_t address = 0;
            size_t start = 0;
            for (int part = 0; part < 4; ++part) {
                const size_t end = part < 3 ? text.find('.', start) : text.size();
                const auto byte = end == std::string::npos
                                      ? std::nullopt
                                      : ParseWhole(text.substr(start, end - start), 0, 255);
                if (!byte || (part == 0 && *byte != 127)) {
                    return "expected an address in 127.0.0.0/8, got '" + text + "'";
                }
                address = address << 8 | *byte;
                start = end + 1;
            }
            text = std::to_string(address);
            return {};
        },
        "");
}

}  // namespace

ParsedArgs<LoadOptions> ParseLoadArgs(int argc, char** argv) {
    ParsedArgs<LoadOptions> parsed;
    LoadOptions& options = parsed.options;
    ArgParser parser;
    options.AddTo(parser);
    CLI::Option* count =
        parser.add_option("--count", options.count)->transform(WholeNumber(1, kMaxReports));
    CLI::Option* duration = parser.add_option("--duration", options.durationSeconds)
                                ->transform(DecimalNumber(0.001, kMaxDurationSeconds));
    CLI::Option* rate =
        parser.add_option("--rate", options.rate)->transform(DecimalNumber(0.01, kMaxRate));
    parser.add_option("--units", options.units)->transform(WholeNumber(1, kMaxUnits));
    parser.add_option("--silent", options.silent)->transform(WholeNumber(0, kMaxSilent));
    parser.add_option("--from", options.from)->transform(LoopbackAddress());
    parser.add_flag("--burst", options.burst)->excludes(count)->excludes(duration)->excludes(rate);
    // Known, so that the refusal says why.
    parser.add_option("--host")->check(CLI::Validator(
        [](std::string&) { return std::string("nr-load talks to 127.0.0.1 only"); }, ""));
    parsed.verdict = parser.Parse(argc, argv, &parsed.error);
    if (parsed.verdict == ArgsVerdict::kRun && !options.burst && !options.count &&
        !options.durationSeconds) {
        parsed.verdict = ArgsVerdict::kUsageError;
        parsed.error = "give --count or --duration (or both), or --burst: a run is always bounded";
    }
    return parsed;
}

}  // namespace nr::tools
