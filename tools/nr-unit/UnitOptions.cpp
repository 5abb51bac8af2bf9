#include "UnitOptions.h"

#include <string_view>
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

ParsedArgs<UnitOptions> ParseUnitArgs(int argc, char** argv) {
    ParsedArgs<UnitOptions> parsed;
    UnitOptions& options = parsed.options;
    ArgScanner args(argc, argv);
    std::vector<std::string_view> bytes;
    while (args.Next()) {
        const std::string_view arg = args.Current();
        if (arg == "--help" || arg == "-h") {
            parsed.verdict = ArgsVerdict::kHelp;
            return parsed;
        } else if (arg == "--host") {
            if (const auto host = args.Value()) options.host = *host;
        } else if (arg == "--port") {
            if (const auto port = args.WholeValue(1, 65535)) {
                options.port = static_cast<std::uint16_t>(*port);
            }
        } else if (arg == "--three") {
            options.threeByte = true;
        } else if (arg == "--timeout") {
            if (const auto seconds = args.DecimalValue(0.001, kMaxTimeoutSeconds)) {
                options.timeoutSeconds = *seconds;
            }
        } else if (args.CurrentIsOption()) {
            args.Fail("unknown option " + std::string(arg));
        } else {
            bytes.push_back(arg);
        }
    }
    if (!args.Failed() && bytes.size() != 2) {
        args.Fail("expected LEAD and STATE, got " + std::to_string(bytes.size()) + " byte(s)");
    }
    for (std::size_t i = 0; i < bytes.size() && !args.Failed(); ++i) {
        const auto byte = ParseHexByte(bytes[i]);
        if (!byte) {
            args.Fail(std::string(i == 0 ? "LEAD" : "STATE") + ": expected a hex byte, got '" +
                      std::string(bytes[i]) + "'");
        } else {
            (i == 0 ? options.lead : options.state) = *byte;
        }
    }
    if (!args.Failed() && !options.threeByte && options.lead == kThreeByteMarker) {
        args.Fail(
            "a two-byte frame cannot begin with fa, which marks the three-byte form; "
            "use --three");
    }
    if (args.Failed()) {
        parsed.verdict = ArgsVerdict::kUsageError;
        parsed.error = args.Error();
    }
    return parsed;
}

}  // namespace nr::tools
