#include "UnitOptions.h"

#include <string_view>
#include <vector>

#include "Frame.h"

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

void TakeFrameBytes(const std::vector<std::string_view>& bytes, UnitOptions& options,
                    ArgScanner& args) {
    if (bytes.size() != 2) {
        args.Fail("expected LEAD and STATE, got " + std::to_string(bytes.size()) + " byte(s)");
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = ParseHexByte(bytes[i]);
        if (!byte) {
            args.Fail(std::string(i == 0 ? "LEAD" : "STATE") + ": expected a hex byte, got '" +
                      std::string(bytes[i]) + "'");
            return;
        }
        (i == 0 ? options.lead : options.state) = *byte;
    }
    if (!options.threeByte && options.lead == kThreeByteMarker) {
        args.Fail(
            "a two-byte frame cannot begin with fa, which marks the three-byte form; "
            "use --three");
    }
}

}  // namespace

ParsedArgs<UnitOptions> ParseUnitArgs(int argc, char** argv) {
    ParsedArgs<UnitOptions> parsed;
    UnitOptions& options = parsed.options;
    ArgScanner args(argc, argv);
    std::vector<std::string_view> bytes;
    while (args.Next()) {
        const std::string_view arg = args.Current();
        if (args.CurrentIsHelp()) {
            parsed.verdict = ArgsVerdict::kHelp;
            return parsed;
        } else if (options.Take(args)) {
            continue;
        } else if (arg == "--host") {
            if (const auto host = args.Value()) options.host = *host;
        } else if (args.CurrentIsOption()) {
            args.Fail("unknown option " + std::string(arg));
        } else {
            bytes.push_back(arg);
        }
    }
    if (!args.Failed()) TakeFrameBytes(bytes, options, args);
    if (args.Failed()) {
        parsed.verdict = ArgsVerdict::kUsageError;
        parsed.error = args.Error();
    }
    return parsed;
}

}  // namespace nr::tools
