#include "Strings.h"
#include "server/ServeRun.h"
#include "ui/SignalServerDlg.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <utility>

// One worker serves every unit side by side: each accepted connection waits in one poll set
// with the listening socket and the stop event until its frame is whole, and is served then.
// A unit that says nothing holds up nobody but itself.

namespace {

using Clock = std::chrono::steady_clock;

// After a failed wait, so that a lasting failure does not spin the CPU.
constexpr auto kFailurePause = std::chrono::milliseconds(1);
// Out of descriptors, the listening socket stays readable; resting it keeps the worker from
// spinning while the connections it holds are still served.
constexpr auto kAcceptRest = std::chrono::milliseconds(50);
// At most this many accepts per wake, so that a flood cannot starve the waiting connections.
constexpr size_t kMaxAcceptsPerWake = WaitingConnections::kMaxWaiting;
// What is read and dropped after the reply, so that closing does not reset the connection.
constexpr int kMaxDrainReceives = 8;

constexpr size_t kStopEntry = 0;
constexpr size_t kListenEntry = 1;
constexpr size_t kFirstConnectionEntry = 2;

// The poll time-out: until the earliest deadline or the end of an accept rest; -1 for none.
int WaitMilliseconds(const ServeRun& run, Clock::time_point now) {
    std::optional<Clock::time_point> until = run.waiting.EarliestDeadline();
    if (now < run.acceptRestUntil) {
        until = std::min(until.value_or(run.acceptRestUntil), run.acceptRestUntil);
    }
    if (!until) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*until - now);
    return static_cast<int>(std::max<Clock::rep>(left.count(), 0));
}

// Reads what has arrived, without waiting; empty text, or why the connection gives no frame.
std::string ReadArrived(WaitingConnection& connection, char* buffer, size_t size) {
    while (!connection.frame.IsComplete()) {
        int received = wsock::recv(connection.sock, buffer, size);
        if (received == 0) return "closed before a whole frame";
        if (received == SOCKET_ERROR) {
            int error = wsock::WSAGetLastError();
            if (error == WSAEWOULDBLOCK) return {};
            return "receive error " + std::to_string(error);
        }
        connection.frame.Feed(reinterpret_cast<const uint8_t*>(buffer),
                              static_cast<size_t>(received));
    }
    return {};
}

void DrainAndClose(SOCKET sock, char* buffer, size_t size) {
    for (int i = 0; i < kMaxDrainReceives; ++i) {
        if (wsock::recv(sock, buffer, size) <= 0) break;
    }
    wsock::closesocket(sock);
}

}  // namespace

void CSignalServerDlg::ServeLoop() {
    ServeRun run(m_sockListen);
    std::vector<wsock::PollEntry> fds;
    while (m_bServerRunning) {
        const Clock::time_point now = Clock::now();
        const SOCKET listening = now < run.acceptRestUntil ? INVALID_SOCKET : run.sockListen;
        fds.assign({{m_eventStop.Handle()}, {listening}});
        run.waiting.AppendPollEntries(fds);
        if (wsock::WSAPoll(fds.data(), fds.size(), WaitMilliseconds(run, now)) == SOCKET_ERROR) {
            int error = wsock::WSAGetLastError();
            if (error != WSAEINTR) {
                AppendTrace("select error %d\r\n", error);
                std::this_thread::sleep_for(kFailurePause);
            }
            continue;
        }
        if (fds[kStopEntry].readable) m_eventStop.Reset();
        // The connections first: the entries name them as they were before this wake's accepts.
        for (size_t i = kFirstConnectionEntry; i < fds.size() && m_bServerRunning; ++i) {
            if (fds[i].readable) ServeArrived(run, fds[i].sock);
        }
        if (fds[kListenEntry].readable) {
            AppendTrace("select.\r\n");
            if (m_bServerRunning) AcceptPending(run);
        }
        // A frame that arrived in time is served even when the worker was held up meanwhile
        // (a log failure's message waits for the operator, as it always has): only a
        // connection still without a whole frame after reading what it sent is dropped.
        for (SOCKET sock : run.waiting.Overdue(Clock::now())) {
            if (!m_bServerRunning) break;
            ServeArrived(run, sock);
        }
    }
    for (const WaitingConnection& connection : run.waiting.TakeAll()) {
        DropConnection(connection, "server stopped");
    }
    StopServing(run.sockListen);
}

void CSignalServerDlg::AcceptPending(ServeRun& run) {
    for (size_t accepted = 0; accepted < kMaxAcceptsPerWake && m_bServerRunning; ++accepted) {
        std::string peer;
        SOCKET sock = wsock::accept(run.sockListen, &peer);
        if (sock == INVALID_SOCKET) {
            int error = wsock::WSAGetLastError();
            if (error == WSAEWOULDBLOCK) return;
            AppendTrace("accept error %d\r\n", error);
            run.acceptRestUntil = Clock::now() + kAcceptRest;
            return;
        }
        if (auto oldest = run.waiting.Add(sock, std::move(peer))) {
            DropConnection(*oldest, "too many connections waiting");
        }
        // Most units send their frame with the connection: serve it without another wait.
        ServeArrived(run, sock);
    }
}

void CSignalServerDlg::ServeArrived(ServeRun& run, SOCKET sock) {
    WaitingConnection* connection = run.waiting.Find(sock);
    if (!connection) return;
    std::string failure = ReadArrived(*connection, run.buffer.data(), run.buffer.size());
    if (failure.empty() && !connection->frame.IsComplete()) {
        if (Clock::now() < connection->deadline) return;
        failure = "no whole frame in time";
    }
    const WaitingConnection taken = run.waiting.Take(sock);
    if (failure.empty()) {
        ServeConnection(taken, run);
    } else {
        DropConnection(taken, failure.c_str());
    }
}

void CSignalServerDlg::ServeConnection(const WaitingConnection& connection, ServeRun& run) {
    const Frame frame = connection.frame.GetFrame();
    const char* peer = connection.peerAddress.c_str();
    if (frame.hasMarker) {
        AppendTrace("from:%s   Received : %02x %02x %02x \r\n", peer, FrameAssembler::kMarker,
                    frame.lead, frame.state);
    } else {
        // "Reseived" is how this line has always been spelt; it stays as operators know it.
        AppendTrace("from:%s   Reseived : %02x %02x \r\n", peer, frame.lead, frame.state);
    }
    for (int i = 0; i < kDiChannels; ++i) {
        m_bDiState[i] = (frame.state >> i) & 1;
        m_diChannels[i].pLamp->InvalidateRect();
    }
    WriteLogRecord(peer);
    char line[128];
    std::snprintf(line, sizeof line, kFormatPeerLine, peer);
    // A unit reporting again leaves the line as it is. Never waited for: the operator sees the
    // last unit at the next repaint, and a report does not wait for the UI thread.
    if (run.peerLine != line) {
        run.peerLine = line;
        m_staticPeer.SetWindowTextLater(line);
    }
    AppendTrace("--to:%s   Send : %02x %02x\r\n", peer, frame.lead, frame.state);
    const uint8_t reply[2] = {frame.lead, frame.state};
    // A unit that went away before the reply needs nothing more: the socket is closed anyway.
    (void)wsock::send(connection.sock, reply, sizeof reply);
    DrainAndClose(connection.sock, run.buffer.data(), run.buffer.size());
}

void CSignalServerDlg::DropConnection(const WaitingConnection& connection, const char* reason) {
    AppendTrace("from:%s   dropped (%zu bytes): %s\r\n", connection.peerAddress.c_str(),
                connection.frame.BytesHeld(), reason);
    wsock::closesocket(connection.sock);
}

void CSignalServerDlg::StopServing(SOCKET sockListen) {
    wsock::closesocket(sockListen);
    for (int i = 0; i < kDiChannels; ++i) {
        m_bDiState[i] = FALSE;
        m_diChannels[i].pLamp->InvalidateRect();
    }
    m_buttonServer.SetWindowText(kTextStartServer);
    m_staticState.SetWindowText(kTextStopped);
    AppendTrace("server stop.\r\n");
    m_staticPeer.SetWindowText("");
}
