#pragma once

#include <string>

#include "LoadOptions.h"
#include "LoadTally.h"
#include "StopRequest.h"

namespace nr::tools {

struct LoadRunResult {
    LoadTally tally;
    double seconds = 0;      // from the start to the end of the last report
    std::string startError;  // set when not all unit threads could be started
};

// Runs the units on threads of their own until the schedule ends or a stop is requested; a
// failure to start a unit requests one too.
LoadRunResult RunLoad(const LoadOptions& options, StopRequest& stop);

}  // namespace nr::tools
