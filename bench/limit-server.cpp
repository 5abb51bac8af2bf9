// nr-limit-server PORT [CSV]: the least a server can do per report on this machine, the
// ceiling the benchmarks measure NR-QD8K against. Same wire protocol and CSV row as NR-QD8K and
// the peer servers; every connection served side by side from one poll set, as NR-QD8K does;
// no window. Port 0 takes a free port; the port in use is printed. Runs until killed.
#include "Args.h"
#include "Exchange.h"
#include "Frame.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReceiveBufferSize = 8192;
// As NR-QD8K: a unit has 2 s from its accept to send its whole frame, and at most this many
// wait for theirs at once.
constexpr auto kFrameTimeout = std::chrono::seconds(2);
constexpr std::size_t kMaxWaiting = 256;

int OpenListener(std::uint16_t port) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0) {
        std::perror("nr-limit-server: socket");
        return -1;
    }
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    if (setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, SOMAXCONN) != 0) {
        std::perror("nr-limit-server: listen");
        close(listener);
        return -1;
    }
    return listener;
}

// The port in use, which differs from the one asked for when that was 0; 0 on failure.
std::uint16_t BoundPort(int listener) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
    return ntohs(address.sin_port);
}

int OpenCsv(const char* path) {
    return open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

// The file is opened for each row and closed again, as the servers under test do.
bool AppendRow(const char* path, const in_addr& peer, std::uint8_t state) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32];
    char ip[INET_ADDRSTRLEN];
    if (!localtime_r(&now, &local) ||
        std::strftime(stamp, sizeof stamp, "%Y/%m/%d,%H:%M:%S", &local) == 0 ||
        !inet_ntop(AF_INET, &peer, ip, sizeof ip)) {
        return false;
    }
    char row[96];
    const int size =
        std::snprintf(row, sizeof row, "%s,%s,%d,%d,%d,%d,%d\r\n", stamp, ip, state & 1,
                      (state >> 1) & 1, (state >> 2) & 1, (state >> 3) & 1, (state >> 4) & 1);
    const int file = OpenCsv(path);
    if (file < 0) return false;
    const bool written = write(file, row, static_cast<std::size_t>(size)) == size;
    return close(file) == 0 && written;
}

// A connection accepted and still short of its frame.
struct Waiting {
    int fd;
    in_addr peer;
    Clock::time_point deadline;
    std::array<std::uint8_t, 3> frame{};
    std::size_t size = 0;

    std::size_t Needed() const {
        return size > 0 && frame[0] == nr::tools::kThreeByteMarker ? 3 : 2;
    }
};

// Reads what the connection has; true when it is done with, served or not. *logged turns
// false only when the CSV row cannot be written.
bool Receive(Waiting& unit, const char* csvPath, bool* logged) {
    static std::uint8_t buffer[kReceiveBufferSize];
    const ssize_t got = recv(unit.fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return false;
    if (got <= 0) return true;
    for (ssize_t i = 0; i < got && unit.size < unit.Needed(); ++i) {
        unit.frame[unit.size++] = buffer[i];
    }
    if (unit.size < unit.Needed()) return false;
    const std::uint8_t* reply = unit.frame.data() + unit.size - 2;
    if (csvPath && !AppendRow(csvPath, unit.peer, reply[1])) *logged = false;
    // The unit may be gone already; that costs nothing but this reply.
    send(unit.fd, reply, 2, MSG_NOSIGNAL);
    return true;
}

// Takes every pending connection; past the cap, the one that has waited longest makes room.
bool AcceptAll(int listener, std::deque<Waiting>& waiting) {
    for (;;) {
        sockaddr_in peer{};
        socklen_t peerSize = sizeof peer;
        const int client = accept4(listener, reinterpret_cast<sockaddr*>(&peer), &peerSize,
                                   SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) {
            if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) return true;
            std::perror("nr-limit-server: accept");
            return false;
        }
        if (waiting.size() == kMaxWaiting) {
            close(waiting.front().fd);
            waiting.pop_front();
        }
        waiting.push_back({client, peer.sin_addr, Clock::now() + kFrameTimeout});
    }
}

int MillisecondsToFirstDeadline(const std::deque<Waiting>& waiting) {
    // Accepted in order, so the front has the earliest deadline.
    return waiting.empty() ? -1 : nr::tools::MillisecondsUntil(waiting.front().deadline);
}

// Serves until a CSV row cannot be written or accept fails; the exit status.
int Serve(int listener, const char* csvPath) {
    std::deque<Waiting> waiting;
    std::vector<pollfd> ready;
    for (;;) {
        ready.assign(1, {listener, POLLIN, 0});
        for (const Waiting& unit : waiting) ready.push_back({unit.fd, POLLIN, 0});
        if (poll(ready.data(), ready.size(), MillisecondsToFirstDeadline(waiting)) < 0 &&
            errno != EINTR) {
            std::perror("nr-limit-server: poll");
            return 1;
        }
        bool logged = true;
        const Clock::time_point now = Clock::now();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            Waiting& unit = waiting[i];
            const bool done = (ready[i + 1].revents != 0 && Receive(unit, csvPath, &logged)) ||
                              now >= unit.deadline;
            if (done) {
                close(unit.fd);
            } else {
                waiting[kept++] = unit;
            }
        }
        waiting.resize(kept);
        if (!logged) {
            std::fprintf(stderr, "nr-limit-server: cannot append to %s\n", csvPath);
            return 1;
        }
        if (ready[0].revents != 0 && !AcceptAll(listener, waiting)) return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto port = argc >= 2 ? nr::tools::ParseWhole(argv[1], 0, 65535) : std::nullopt;
    if (!port || argc > 3) {
        std::fprintf(stderr, "Usage: nr-limit-server PORT [CSV]\n");
        return 2;
    }
    const char* csvPath = argc == 3 ? argv[2] : nullptr;
    // A log that cannot be written is found out before the first unit is served.
    if (csvPath) {
        const int file = OpenCsv(csvPath);
        if (file < 0) {
            std::fprintf(stderr, "nr-limit-server: cannot open %s: %s\n", csvPath,
                         std::strerror(errno));
            return 1;
        }
        close(file);
    }
    const int listener = OpenListener(static_cast<std::uint16_t>(*port));
    if (listener < 0) return 1;
    const std::uint16_t boundPort = BoundPort(listener);
    if (boundPort == 0) {
        std::perror("nr-limit-server: getsockname");
        return 1;
    }
    // Scripts that asked for port 0 read the port from this line.
    std::printf("nr-limit-server: listening on port %u\n", boundPort);
    std::fflush(stdout);
    return Serve(listener, csvPath);
}
