#pragma once

#include <atomic>
#include <string>

#include "LoadOptions.h"
#include "LoadTally.h"

namespace nr::tools {

struct LoadRunResult {
    LoadTally tally;
    double seconds = 0;      // from the start to the end of the last report
    std::string startError;  // set when not all unit threads could be started
};

// Runs the units on threads of their own until the schedule ends or `interrupted` is set.
LoadRunResult RunLoad(const LoadOptions& options, const std::atomic<bool>& interrupted);

}  // namespace nr::tools
