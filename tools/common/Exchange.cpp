#include "Exchange.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

namespace nr::tools {
namespace {

using Clock = std::chrono::steady_clock;

class Socket {
public:
    explicit Socket(SocketHandle sock) : m_sock(sock) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (m_sock != kNoSocket) CloseSocket(m_sock);
    }
    SocketHandle Get() const { return m_sock; }

private:
    SocketHandle m_sock;
};

enum class WaitResult { kReady, kTimedOut, kFailed };

WaitResult WaitFor(SocketHandle sock, bool forWriting, Clock::time_point deadline) {
    for (;;) {
        WaitEntry entry{sock, forWriting};
        const int ready = WaitSockets(&entry, 1, MillisecondsUntil(deadline));
        if (ready > 0) return WaitResult::kReady;
        if (ready < 0) return WaitResult::kFailed;
        if (Clock::now() >= deadline) return WaitResult::kTimedOut;
    }
}

ExchangeResult Failure(ExchangeOutcome outcome, int error) {
    ExchangeResult result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

// Nothing when the connection stands, else the failure.
std::optional<ExchangeResult> ConnectFailure(SocketHandle sock, Clock::time_point deadline) {
    switch (WaitFor(sock, true, deadline)) {
        case WaitResult::kReady:
            break;
        case WaitResult::kTimedOut:
            return Failure(ExchangeOutcome::kConnectTimedOut, 0);
        case WaitResult::kFailed:
            return Failure(ExchangeOutcome::kConnectFailed, LastNetError());
    }
    if (const int error = ConnectError(sock); error != 0) {
        return Failure(ExchangeOutcome::kConnectFailed, error);
    }
    return std::nullopt;
}

ExchangeResult ReceiveReply(SocketHandle sock, Clock::time_point deadline) {
    ExchangeResult result;
    while (result.replyBytes < kReplySize) {
        switch (WaitFor(sock, false, deadline)) {
            case WaitResult::kReady:
                break;
            case WaitResult::kTimedOut:
                result.outcome = ExchangeOutcome::kReplyTimedOut;
                return result;
            case WaitResult::kFailed:
                result.outcome = ExchangeOutcome::kReceiveFailed;
                result.error = LastNetError();
                return result;
        }
        const long got = ReceiveBytes(sock, result.reply.data() + result.replyBytes,
                                      kReplySize - result.replyBytes);
        if (got > 0) {
            result.replyBytes += static_cast<std::size_t>(got);
        } else if (got == 0) {
            result.outcome = ExchangeOutcome::kClosedEarly;
            return result;
        } else if (const int error = LastNetError(); !IsWouldBlock(error)) {
            result.outcome = ExchangeOutcome::kReceiveFailed;
            result.error = error;
            return result;
        }
    }
    return result;
}

}  // namespace

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, INT_MAX));
}

ExchangeResult ExchangeFrame(const Endpoint& server, const Frame& frame, Clock::time_point deadline,
                             std::uint32_t from) {
    const Socket socket(StartConnect(server, from));
    if (socket.Get() == kNoSocket) return Failure(ExchangeOutcome::kConnectFailed, LastNetError());

    if (auto failure = ConnectFailure(socket.Get(), deadline)) return *failure;

    // The server takes the frame from a single receive, so it goes out in a single send; a
    // fresh socket's buffer always takes a frame this small whole.
    const auto bytes = frame.Bytes();
    const long sent = SendBytes(socket.Get(), bytes.data(), bytes.size());
    if (sent != static_cast<long>(bytes.size())) {
        return Failure(ExchangeOutcome::kSendFailed, sent < 0 ? LastNetError() : 0);
    }

    return ReceiveReply(socket.Get(), deadline);
}

std::string DescribeFailure(const ExchangeResult& result, const std::string& server,
                            double timeoutSeconds) {
    const std::string reason = result.error != 0 ? NetErrorText(result.error) : "";
    char timeout[32];
    std::snprintf(timeout, sizeof timeout, "%g s", timeoutSeconds);
    const std::string arrived =
        std::to_string(result.replyBytes) + " of " + std::to_string(kReplySize) + " reply bytes";
    switch (result.outcome) {
        case ExchangeOutcome::kReplied:
            return "reply from " + server + ": " + FormatHexBytes(result.reply);
        case ExchangeOutcome::kConnectFailed:
            return "cannot connect to " + server + ": " + reason;
        case ExchangeOutcome::kConnectTimedOut:
            return "cannot connect to " + server + ": no answer within " + timeout;
        case ExchangeOutcome::kSendFailed:
            return "cannot send the frame to " + server + ": " +
                   (result.error != 0 ? reason : "it did not go out in one send");
        case ExchangeOutcome::kReplyTimedOut:
            return "no whole reply from " + server + " within " + timeout + " (" + arrived +
                   " arrived)";
        case ExchangeOutcome::kClosedEarly:
            return server + " closed the connection after " + arrived;
        case ExchangeOutcome::kReceiveFailed:
            return "cannot receive the reply from " + server + ": " + reason + " (after " +
                   arrived + ")";
    }
    return "unknown failure";
}

}  // namespace nr::tools
