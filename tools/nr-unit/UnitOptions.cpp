#include "UnitOptions.h"

#include "Frame.h"

#include <string>
#include <vector>

namespace nr::tools {

const char kUnitUsage[] =
    "Usage: nr-unit [--host HOST] [--port PORT] [--three] [--timeout SECONDS] LEAD STATE\n"
    "Sends one report to an NR-QD8K server as a unit does and prints the two-byte reply.\n"
    "\n"
    "  LEAD STATE         bytes in hex (01, 0x15, E3); bit i of STATE is input DI(i+1)\n"
    "  --host HOST        server address or name (default 127.0.0.1)\n"
    "  --port PORT        server port, 1 to 65535 (default 10003)\n"
    "  --three            send the three-byte form fa LEAD STATE (required when LEAD is fa)\n"
    "  --timeout SECONDS  bound on connecting, sending and the reply (default 10)\n"
    "  --help             show this text\n"
    "\n"
    "Prints the reply as \"01 15\". Exit status: 0 reply printed; 1 no whole reply (cannot\n"
    "connect, time-out, connection closed early); 2 bad arguments.\n";

namespace {

// The first problem with the frame bytes, or nothing.
std::string CheckFrameBytes(const std::vector<std::string>& bytes, UnitOptions& options) {
    if (bytes.size() != 2) {
        return "expected LEAD and STATE, got " + std::to_string(bytes.size()) + " byte(s)";
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = ParseHexByte(bytes[i]);
        if (!byte) {
            return std::string(i == 0 ? "LEAD" : "STATE") + ": expected a hex byte, got '" +
                   bytes[i] + "'";
        }
        (i == 0 ? options.lead : options.state) = *byte;
    }
    if (!options.threeByte && options.lead == kThreeByteMarker) {
        return "a two-byte frame cannot begin with fa, which marks the three-byte form; use "
               "--three";
    }
    return {};
}

}  // namespace

ParsedArgs<UnitOptions> ParseUnitArgs(int argc, char** argv) {
    ParsedArgs<UnitOptions> parsed;
    UnitOptions& options = parsed.options;
    ArgParser parser;
    options.AddTo(parser);
    parser.add_option("--host", options.host);
    std::vector<std::string> bytes;
    parser.add_option("bytes", bytes)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    parsed.verdict = parser.Parse(argc, argv, &parsed.error);
    if (parsed.verdict == ArgsVerdict::kRun) {
        parsed.error = CheckFrameBytes(bytes, options);
        if (!parsed.error.empty()) parsed.verdict = ArgsVerdict::kUsageError;
    }
    return parsed;
}

}  // namespace nr::tools
