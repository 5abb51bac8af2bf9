// nr-unit: one report as a unit sends it, for operators and tests.
#include "Address.h"
#include "Exchange.h"
#include "Net.h"
#include "UnitOptions.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    using namespace nr::tools;
    const auto args = ParseUnitArgs(argc, argv);
    if (args.verdict != ArgsVerdict::kRun) {
        return ReportUsage("nr-unit", kUnitUsage, args.verdict, args.error);
    }
    const UnitOptions& options = args.options;

    const NetSession net;
    if (!net.Ok()) {
        std::fprintf(stderr, "nr-unit: cannot start Windows Sockets\n");
        return 1;
    }
    std::string error;
    const auto server = ResolveIpv4(options.host, options.port, &error);
    if (!server) {
        std::fprintf(stderr, "nr-unit: %s\n", error.c_str());
        return 1;
    }
    const Frame frame(options.lead, options.state, options.threeByte);
    const auto deadline = std::chrono::steady_clock::now() + ToDuration(options.timeoutSeconds);
    const ExchangeResult result = ExchangeFrame(*server, frame, deadline);
    if (result.outcome != ExchangeOutcome::kReplied) {
        std::fprintf(
            stderr, "nr-unit: %s\n",
            DescribeFailure(result, FormatAddress(*server), options.timeoutSeconds).c_str());
        return 1;
    }
    std::printf("%s\n", FormatHexBytes(result.reply).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
