#include "LoadRun.h"

#include "Address.h"
#include "Exchange.h"
#include "ReportSchedule.h"
#include "SilentConnections.h"

#include <functional>
#include <latch>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

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

void Report(std::uint64_t number, std::uint32_t from, const LoadOptions& options,
            const Endpoint& server, LoadTally& tally) {
    const Frame frame = FrameForReport(number, options.threeByte);
    const auto start = Clock::now();
    const ExchangeResult result =
        ExchangeFrame(server, frame, start + ToDuration(options.timeoutSeconds), from);
    tally.Record(number, frame, result, Clock::now() - start, FormatAddress(server),
                 options.timeoutSeconds);
}

// Unit i's own address, when the units have addresses of their own.
std::uint32_t AddressOf(std::size_t unit, const LoadOptions& options) {
    return options.from == 0 ? 0 : options.from + static_cast<std::uint32_t>(unit);
}

void RunUnit(std::size_t unit, ReportSchedule& schedule, const LoadOptions& options,
             const Endpoint& server, LoadTally& tally) {
    while (const auto slot = schedule.Claim()) {
        if (!schedule.WaitUntilDue(*slot)) return;
        Report(slot->number, AddressOf(unit, options), options, server, tally);
    }
}

// After a power dip every unit connects and sends as soon as it can, each on its own: the units
// are released together and each makes its whole report, connect included, from there.
void RunBurstUnit(std::uint64_t number, std::latch& released, const StopRequest& stop,
                  const LoadOptions& options, const Endpoint& server, LoadTally& tally) {
    released.arrive_and_wait();
    if (!stop.Requested()) Report(number, AddressOf(number, options), options, server, tally);
}

// One thread per unit; joined on return. A unit that cannot be started requests a stop.
void RunUnits(const LoadOptions& options, const Endpoint& server, Clock::time_point start,
              StopRequest& stop, std::vector<LoadTally>& tallies, LoadRunResult& run) {
    ReportSchedule schedule(options, start, stop);
    std::latch released(static_cast<std::ptrdiff_t>(tallies.size()));
    std::vector<std::jthread> units;
    units.reserve(tallies.size());
    try {
        for (LoadTally& tally : tallies) {
            if (options.burst) {
                units.emplace_back(RunBurstUnit, units.size(), std::ref(released), std::cref(stop),
                                   std::cref(options), std::cref(server), std::ref(tally));
            } else {
                units.emplace_back(RunUnit, units.size(), std::ref(schedule), std::cref(options),
                                   std::cref(server), std::ref(tally));
            }
        }
    } catch (const std::system_error& error) {
        run.startError = std::string("cannot start every unit: ") + error.what();
        stop.Request();
        // The units already started wait for the rest; they now go only to see the stop.
        if (options.burst) released.count_down(std::ssize(tallies) - std::ssize(units));
    }
}

}  // namespace

LoadRunResult RunLoad(const LoadOptions& options, StopRequest& stop) {
    LoadRunResult run;
    const Endpoint server = LoopbackAddress(options.port);
    // Opened before the first report, so that every report meets them.
    SilentConnections silent(server, true);
    if (options.silent > 0 &&
        !silent.Open(options.silent, Clock::now() + ToDuration(options.timeoutSeconds),
                     &run.startError)) {
        stop.Request();
        return run;
    }
    std::vector<LoadTally> tallies(options.units);
    const auto start = Clock::now();
    RunUnits(options, server, start, stop, tallies, run);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.silentReopened = silent.Reopened();
    for (LoadTally& tally : tallies) run.tally.Merge(std::move(tally));
    return run;
}

}  // namespace nr::tools
