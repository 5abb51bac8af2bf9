#include "LoadTally.h"

#include <algorithm>

namespace nr::tools {

void LoadTally::Record(std::uint64_t number, const Frame& frame, const ExchangeResult& result,
                       std::chrono::steady_clock::duration latency, const std::string& server,
                       double timeoutSeconds) {
    ++reports;
    std::string problem;
    switch (result.outcome) {
        case ExchangeOutcome::kReplied: {
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(latency).count();
            latencyUs.push_back(static_cast<std::uint32_t>(
                std::clamp<long long>(us, 0, std::numeric_limits<std::uint32_t>::max())));
            if (result.reply == frame.ExpectedReply()) {
                ++ok;
                return;
            }
            ++wrong;
            problem =
                "sent " + FormatHexBytes(frame.Bytes()) + ", got " + FormatHexBytes(result.reply);
            break;
        }
        case ExchangeOutcome::kConnectFailed:
        case ExchangeOutcome::kConnectTimedOut:
            ++cannotConnect;
            break;
        case ExchangeOutcome::kReplyTimedOut:
            ++noReplyInTime;
            break;
        case ExchangeOutcome::kClosedEarly:
            ++closedEarly;
            break;
        case ExchangeOutcome::kSendFailed:
        case ExchangeOutcome::kReceiveFailed:
            ++otherFailure;
            break;
    }
    if (number < firstProblemReport) {
        firstProblemReport = number;
        firstProblem =
            "report " + std::to_string(number) + ": " +
            (problem.empty() ? DescribeFailure(result, server, timeoutSeconds) : problem);
    }
}

void LoadTally::Merge(LoadTally&& other) {
    reports += other.reports;
    ok += other.ok;
    wrong += other.wrong;
    cannotConnect += other.cannotConnect;
    noReplyInTime += other.noReplyInTime;
    closedEarly += other.closedEarly;
    otherFailure += other.otherFailure;
    latencyUs.insert(latencyUs.end(), other.latencyUs.begin(), other.latencyUs.end());
    if (other.firstProblemReport < firstProblemReport) {
        firstProblemReport = other.firstProblemReport;
        firstProblem = std::move(other.firstProblem);
    }
}

}  // namespace nr::tools
