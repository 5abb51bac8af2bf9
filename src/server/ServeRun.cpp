#include "server/ServeRun.h"

#include "platform/WakeEvent.h"
#include "server/Report.h"
#include "server/ReportClock.h"
#include "server/ServerListener.h"
#include "server/Trace.h"

#include <algorithm>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// After a failed wait, so that a lasting failure does not spin the CPU.
constexpr auto kFailurePause = std::chrono::milliseconds(1);
// Out of descriptors, the listening socket stays readable; resting it keeps the worker from
// spinning while the connections it holds are still served.
constexpr auto kAcceptRest = std::chrono::milliseconds(50);
// At most this many accepts per wake, so that a flood cannot starve the waiting connections.
constexpr size_t kMaxAcceptsPerWake = WaitingConnections::kMaxWaiting;
// At most this many receives of what a unit sent beyond its frame, read and dropped.
constexpr int kMaxDrainReceives = 8;

constexpr size_t kStopEntry = 0;
constexpr size_t kListenEntry = 1;
constexpr size_t kFirstConnectionEntry = 2;

// Reads what has arrived, without waiting; empty text, or why the connection gives no frame.
std::string ReadArrived(WaitingConnection& connection, char* buffer, size_t size) {
    while (!connection.frame.IsComplete()) {
        int received = wsock::recv(connection.sock, buffer, size);
        if (received == 0) return "closed before a whole frame";
        if (received == wsock::kSocketError) {
            int error = wsock::WSAGetLastError();
            if (error == wsock::kErrorWouldBlock) return {};
            return "receive error " + std::to_string(error);
        }
        connection.frame.Feed(reinterpret_cast<const uint8_t*>(buffer),
                              static_cast<size_t>(received));
        connection.moreArrived = static_cast<size_t>(received) == size;
    }
    return {};
}

// Bytes left unread would make the close reset the connection under the reply. A receive that
// did not fill the buffer took all there was: the usual unit costs no call more.
void DrainAndClose(const WaitingConnection& connection, char* buffer, size_t size) {
    for (int i = 0; connection.moreArrived && i < kMaxDrainReceives; ++i) {
        if (wsock::recv(connection.sock, buffer, size) <= 0) break;
    }
    wsock::closesocket(connection.sock);
}

}  // namespace

ServeRun::ServeRun(wsock::Socket listening, const std::atomic<bool>& running, WakeEvent& stopEvent,
                   ServerListener& listener)
    : m_sockListen(listening),
      m_running(running),
      m_stopEvent(stopEvent),
      m_listener(listener),
      m_buffer(kReceiveBufferSize) {}

// The poll time-out: until the earliest deadline, the end of an accept rest or the time a
// listener asked to be woken at; -1 for none.
int ServeRun::WaitMilliseconds(Clock::time_point now) const {
    std::optional<Clock::time_point> until = m_waiting.EarliestDeadline();
    auto earliest = [&until](Clock::time_point at) { until = std::min(until.value_or(at), at); };
    if (now < m_acceptRestUntil) earliest(m_acceptRestUntil);
    if (std::optional<Clock::time_point> wake = m_listener.WakeAt()) earliest(*wake);
    if (!until) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*until - now);
    return static_cast<int>(std::max<Clock::rep>(left.count(), 0));
}

void ServeRun::Serve() {
    std::vector<wsock::PollEntry> fds;
    while (m_running) {
        m_listener.OnIdle();
        const Clock::time_point now = Clock::now();
        const wsock::Socket listening =
            now < m_acceptRestUntil ? wsock::kInvalidSocket : m_sockListen;
        fds.assign({{m_stopEvent.Handle()}, {listening}});
        m_waiting.AppendPollEntries(fds);
        if (wsock::WSAPoll(fds.data(), fds.size(), WaitMilliseconds(now)) == wsock::kSocketError) {
            int error = wsock::WSAGetLastError();
            if (error != wsock::kErrorInterrupted) {
                Trace(m_listener, "select error %d\r\n", error);
                std::this_thread::sleep_for(kFailurePause);
            }
            continue;
        }
        if (fds[kStopEntry].readable) m_stopEvent.Reset();
        // The connections first: the entries name them as they were before this wake's accepts.
        for (size_t i = kFirstConnectionEntry; i < fds.size() && m_running; ++i) {
            if (fds[i].readable) ServeArrived(fds[i].sock);
        }
        if (fds[kListenEntry].readable) {
            Trace(m_listener, "select.\r\n");
            if (m_running) AcceptPending();
        }
        // A frame that arrived in time is served even when the worker was held up meanwhile (a
        // listener may wait for the operator): only a connection still without a whole frame
        // after reading what it sent is dropped.
        for (wsock::Socket sock : m_waiting.Overdue(Clock::now())) {
            if (!m_running) break;
            ServeArrived(sock);
        }
    }
    StopServing();
}

void ServeRun::AcceptPending() {
    for (size_t accepted = 0; accepted < kMaxAcceptsPerWake && m_running; ++accepted) {
        std::string peer;
        wsock::Socket sock = wsock::accept(m_sockListen, &peer);
        if (sock == wsock::kInvalidSocket) {
            int error = wsock::WSAGetLastError();
            if (error == wsock::kErrorWouldBlock) return;
            Trace(m_listener, "accept error %d\r\n", error);
            m_acceptRestUntil = Clock::now() + kAcceptRest;
            return;
        }
        if (auto oldest = m_waiting.Add(sock, std::move(peer))) {
            DropConnection(*oldest, "too many connections waiting");
        }
        // Most units send their frame with the connection: serve it without another wait.
        ServeArrived(sock);
    }
}

void ServeRun::ServeArrived(wsock::Socket sock) {
    WaitingConnection* connection = m_waiting.Find(sock);
    if (!connection) return;
    std::string failure = ReadArrived(*connection, m_buffer.data(), m_buffer.size());
    if (failure.empty() && !connection->frame.IsComplete()) {
        if (Clock::now() < connection->deadline) return;
        failure = "no whole frame in time";
    }
    const std::optional<WaitingConnection> taken = m_waiting.Take(sock);
    if (failure.empty()) {
        ServeConnection(*taken);
    } else {
        DropConnection(*taken, failure.c_str());
    }
}

void ServeRun::ServeConnection(const WaitingConnection& connection) {
    const Frame frame = connection.frame.GetFrame();
    const char* peer = connection.peerAddress.c_str();
    if (frame.hasMarker) {
        Trace(m_listener, "from:%s   Received : %02x %02x %02x \r\n", peer, FrameAssembler::kMarker,
              frame.lead, frame.state);
    } else {
        // "Reseived" is how this line has always been spelt; it stays as operators know it.
        Trace(m_listener, "from:%s   Reseived : %02x %02x \r\n", peer, frame.lead, frame.state);
    }
    m_listener.OnReport(
        Report{connection.peerAddress, frame.lead, frame.state, ReportClock::Current().Now()});
    Trace(m_listener, "--to:%s   Send : %02x %02x\r\n", peer, frame.lead, frame.state);
    const uint8_t reply[2] = {frame.lead, frame.state};
    // A unit that went away before the reply needs nothing more: the socket is closed anyway.
    (void)wsock::send(connection.sock, reply, sizeof reply);
    DrainAndClose(connection, m_buffer.data(), m_buffer.size());
}

void ServeRun::DropConnection(const WaitingConnection& connection, const char* reason, bool reset) {
    Trace(m_listener, "from:%s   dropped (%zu bytes): %s\r\n", connection.peerAddress.c_str(),
          connection.frame.BytesHeld(), reason);
    reset ? wsock::abortiveclose(connection.sock) : wsock::closesocket(connection.sock);
}

void ServeRun::StopServing() {
    for (const WaitingConnection& connection : m_waiting.TakeAll()) {
        // A restart on the same port must find none of them still closing.
        DropConnection(connection, "server stopped", true);
    }
    wsock::closesocket(m_sockListen);
    m_listener.OnStopped();
    Trace(m_listener, "server stop.\r\n");
    m_listener.OnIdle();
}
