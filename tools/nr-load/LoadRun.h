#pragma once

#include "LoadOptions.h"
#include "LoadTally.h"
#include "StopRequest.h"

#include <cstdint>
#include <string>

namespace nr::tools {

struct LoadRunResult {
    LoadTally tally;
    double seconds = 0;                // from the start to the end of the last report
    std::string startError;            // why not every unit or silent connection could start
    std::uint64_t silentReopened = 0;  // silent connections the server closed during the run
};

// Holds the silent connections and runs the units on threads of their own until the schedule
// ends or a stop is requested; a failure to start either requests one too.
LoadRunResult RunLoad(const LoadOptions& options, StopRequest& stop);

}  // namespace nr::tools
