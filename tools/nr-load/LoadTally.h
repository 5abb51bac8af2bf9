#pragma once

#include "Exchange.h"
#include "Frame.h"

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace nr::tools {

// What the reports of one unit, or of all units once merged, came to.
struct LoadTally {
    std::uint64_t reports = 0;
    std::uint64_t ok = 0;
    std::uint64_t wrong = 0;  // a whole reply that is not the frame's lead and state bytes
    std::uint64_t cannotConnect = 0;
    std::uint64_t noReplyInTime = 0;
    std::uint64_t closedEarly = 0;
    std::uint64_t otherFailure = 0;
    std::vector<std::uint32_t> latencyUs;  // of the reports that got a whole reply
    std::uint64_t firstProblemReport = std::numeric_limits<std::uint64_t>::max();
    std::string firstProblem;

    std::uint64_t Missing() const {
        return cannotConnect + noReplyInTime + closedEarly + otherFailure;
    }

    void Record(std::uint64_t number, const Frame& frame, const ExchangeResult& result,
                std::chrono::steady_clock::duration latency, const std::string& server,
                double timeoutSeconds);
    void Merge(LoadTally&& other);
};

}  // namespace nr::tools
