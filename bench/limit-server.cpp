// nr-limit-server PORT [CSV]: the least a server can do per report on this machine, the
// ceiling the benchmarks measure NR-QD8K against. Same wire protocol and CSV row as NR-QD8K and
// the peer servers; one connection at a time with blocking calls; no window. Port 0 takes a
// free port; the port in use is printed. Runs until killed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "Args.h"
#include "Frame.h"

namespace {

constexpr std::size_t kReceiveBufferSize = 8192;
// A unit that connects and stays silent would otherwise hold the one-at-a-time loop for good.
constexpr timeval kReceiveTimeout{10, 0};

int OpenListener(std::uint16_t port) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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

// False only when the CSV row cannot be written.
bool Serve(int client, const in_addr& peer, const char* csvPath) {
    const int bounded =
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &kReceiveTimeout, sizeof kReceiveTimeout);
    if (bounded != 0) return true;  // unserved rather than unbounded
    static std::uint8_t buffer[kReceiveBufferSize];
    const ssize_t size = recv(client, buffer, sizeof buffer, 0);
    if (size < 2) return true;
    // Decoded as the peer servers do, so that all of them do the same work.
    const bool threeByte = buffer[0] == nr::tools::kThreeByteMarker && size >= 3;
    const std::uint8_t reply[2] = {buffer[threeByte ? 1 : 0], buffer[threeByte ? 2 : 1]};
    if (csvPath && !AppendRow(csvPath, peer, reply[1])) return false;
    // The unit may be gone already; that costs nothing but this reply.
    send(client, reply, sizeof reply, MSG_NOSIGNAL);
    return true;
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

    for (;;) {
        sockaddr_in peer{};
        socklen_t peerSize = sizeof peer;
        const int client =
            accept4(listener, reinterpret_cast<sockaddr*>(&peer), &peerSize, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            std::perror("nr-limit-server: accept");
            return 1;
        }
        const bool logged = Serve(client, peer.sin_addr, csvPath);
        close(client);
        if (!logged) {
            std::fprintf(stderr, "nr-limit-server: cannot append to %s\n", csvPath);
            return 1;
        }
    }
}
