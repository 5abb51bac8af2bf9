#include "Exchange.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>

namespace nr::tools {
namespace {

using Clock = std::chrono::steady_clock;

class SocketFd {
public:
    explicit SocketFd(int fd) : m_fd(fd) {}
    SocketFd(const SocketFd&) = delete;
    SocketFd& operator=(const SocketFd&) = delete;
    ~SocketFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

enum class WaitResult { kReady, kTimedOut, kFailed };

WaitResult WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, MillisecondsUntil(deadline));
        if (ready > 0) return WaitResult::kReady;
        if (ready == 0 && Clock::now() >= deadline) return WaitResult::kTimedOut;
        if (ready < 0 && errno != EINTR) return WaitResult::kFailed;
    }
}

ExchangeResult Failure(ExchangeOutcome outcome, int error) {
    ExchangeResult result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

// Nothing when the connection stands, else the failure.
std::optional<ExchangeResult> ConnectFailure(int fd, const sockaddr_in& server,
                                             Clock::time_point deadline) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0) {
        return std::nullopt;
    }
    if (errno != EINPROGRESS) return Failure(ExchangeOutcome::kConnectFailed, errno);
    switch (WaitFor(fd, POLLOUT, deadline)) {
        case WaitResult::kReady:
            break;
        case WaitResult::kTimedOut:
            return Failure(ExchangeOutcome::kConnectTimedOut, 0);
        case WaitResult::kFailed:
            return Failure(ExchangeOutcome::kConnectFailed, errno);
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    if (error != 0) return Failure(ExchangeOutcome::kConnectFailed, error);
    return std::nullopt;
}

ExchangeResult ReceiveReply(int fd, Clock::time_point deadline) {
    ExchangeResult result;
    while (result.replyBytes < kReplySize) {
        switch (WaitFor(fd, POLLIN, deadline)) {
            case WaitResult::kReady:
                break;
            case WaitResult::kTimedOut:
                result.outcome = ExchangeOutcome::kReplyTimedOut;
                return result;
            case WaitResult::kFailed:
                result.outcome = ExchangeOutcome::kReceiveFailed;
                result.error = errno;
                return result;
        }
        const ssize_t got =
            ::recv(fd, result.reply.data() + result.replyBytes, kReplySize - result.replyBytes, 0);
        if (got > 0) {
            result.replyBytes += static_cast<std::size_t>(got);
        } else if (got == 0) {
            result.outcome = ExchangeOutcome::kClosedEarly;
            return result;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            result.outcome = ExchangeOutcome::kReceiveFailed;
            result.error = errno;
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

ExchangeResult ExchangeFrame(const sockaddr_in& server, const Frame& frame,
                             Clock::time_point deadline) {
    const SocketFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.Get() < 0) return Failure(ExchangeOutcome::kConnectFailed, errno);

    if (auto failure = ConnectFailure(socket.Get(), server, deadline)) return *failure;

    // The server takes the frame from a single receive, so it goes out in a single send; a
    // fresh socket's buffer always takes a frame this small whole.
    const auto bytes = frame.Bytes();
    const ssize_t sent = ::send(socket.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent != static_cast<ssize_t>(bytes.size())) {
        return Failure(ExchangeOutcome::kSendFailed, sent < 0 ? errno : 0);
    }

    return ReceiveReply(socket.Get(), deadline);
}

std::string DescribeFailure(const ExchangeResult& result, const std::string& server,
                            double timeoutSeconds) {
    const std::string reason = result.error != 0 ? std::strerror(result.error) : "";
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
