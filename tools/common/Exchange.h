#pragma once

#include "Frame.h"
#include "Net.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace nr::tools {

inline std::chrono::steady_clock::duration ToDuration(double seconds) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
}

// A poll time-out that ends at the deadline: rounded up, never negative.
int MillisecondsUntil(std::chrono::steady_clock::time_point deadline);

enum class ExchangeOutcome {
    kReplied,  // the whole two-byte reply arrived
    kConnectFailed,
    kConnectTimedOut,
    kSendFailed,
    kReplyTimedOut,
    kClosedEarly,  // the server closed before the whole reply
    kReceiveFailed,
};

struct ExchangeResult {
    ExchangeOutcome outcome = ExchangeOutcome::kReplied;
    Reply reply{};
    std::size_t replyBytes = 0;  // how much of the reply arrived
    int error = 0;               // LastNetError() of the call that failed, 0 when none did
};

// One report as a unit makes it: connect (from the local address given, 0: any), send the frame
// in one send, read the two-byte reply, close. Every wait ends at the deadline.
ExchangeResult ExchangeFrame(const Endpoint& server, const Frame& frame,
                             std::chrono::steady_clock::time_point deadline,
                             std::uint32_t from = 0);

// One line for the operator, e.g. "cannot connect to 127.0.0.1:10003: Connection refused".
std::string DescribeFailure(const ExchangeResult& result, const std::string& server,
                            double timeoutSeconds);

}  // namespace nr::tools
