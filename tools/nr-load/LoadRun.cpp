#include "LoadRun.h"

#include <functional>
#include <system_error>
#include <thread>
#include <vector>

#include "Address.h"
#include "Exchange.h"
#include "ReportSchedule.h"

namespace nr::tools {
namespace {

using Clock = std::chrono::steady_clock;

// Both bytes follow the report number, so a reply meant for another connection shows.
Frame FrameForReport(std::uint64_t number, bool threeByte) {
    auto lead = static_cast<std::uint8_t>(number >> 8);
    // A two-byte frame that began with the marker would be taken for the three-byte form.
    if (!threeByte && lead == kThreeByteMarker) ++lead;
    return Frame(lead, static_cast<std::uint8_t>(number), threeByte);
}

void RunUnit(ReportSchedule& schedule, const LoadOptions& options, const sockaddr_in& server,
             LoadTally& tally) {
    const std::string serverText = FormatAddress(server);
    const auto timeout = ToDuration(options.timeoutSeconds);
    while (const auto slot = schedule.Claim()) {
        if (!schedule.WaitUntilDue(*slot)) return;
        const Frame frame = FrameForReport(slot->number, options.threeByte);
        const auto start = Clock::now();
        const ExchangeResult result = ExchangeFrame(server, frame, start + timeout);
        tally.Record(slot->number, frame, result, Clock::now() - start, serverText,
                     options.timeoutSeconds);
    }
}

}  // namespace

LoadRunResult RunLoad(const LoadOptions& options, StopRequest& stop) {
    LoadRunResult run;
    const sockaddr_in server = LoopbackAddress(options.port);
    std::vector<LoadTally> tallies(options.units);
    const auto start = Clock::now();
    ReportSchedule schedule(options, start, stop);
    {
        std::vector<std::jthread> units;
        units.reserve(tallies.size());
        try {
            for (LoadTally& tally : tallies) {
                units.emplace_back(RunUnit, std::ref(schedule), std::cref(options),
                                   std::cref(server), std::ref(tally));
            }
        } catch (const std::system_error& error) {
            run.startError = error.what();
            stop.Request();
        }
    }  // the units are joined here
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (LoadTally& tally : tallies) run.tally.Merge(std::move(tally));
    return run;
}

}  // namespace nr::tools
