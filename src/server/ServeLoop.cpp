#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "Strings.h"
#include "server/FrameAssembler.h"
#include "ui/SignalServerDlg.h"

namespace {

constexpr size_t kReceiveBufferSize = 8192;
constexpr long kAcceptWaitMicroseconds = 1000;
// How long a unit may take to send a whole frame; it holds the worker, and a stop, that long.
constexpr auto kFrameTimeout = std::chrono::seconds(2);
// After a failed wait or accept, so that a lasting failure does not spin the CPU.
constexpr auto kFailurePause = std::chrono::milliseconds(1);
// What is read and dropped after the reply, so that closing does not reset the connection.
constexpr int kMaxDrainReceives = 8;

using Clock = std::chrono::steady_clock;

// Receives until the frame is whole; empty text, or why the connection gives no frame.
std::string ReceiveFrame(SOCKET sock, char* buffer, FrameAssembler& frame) {
    const Clock::time_point deadline = Clock::now() + kFrameTimeout;
    while (!frame.IsComplete()) {
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0) return "no whole frame in time";
        int ready = wsock::select(sock, static_cast<long>(left.count()));
        if (ready == 0) continue;
        int received = ready < 0 ? SOCKET_ERROR : wsock::recv(sock, buffer, kReceiveBufferSize, 0);
        if (received == SOCKET_ERROR) {
            return "receive error " + std::to_string(wsock::WSAGetLastError());
        }
        if (received == 0) return "closed before a whole frame";
        frame.Feed(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(received));
    }
    return {};
}

void DrainAndClose(SOCKET sock, char* buffer) {
    for (int i = 0; i < kMaxDrainReceives; ++i) {
        if (wsock::recv(sock, buffer, kReceiveBufferSize, MSG_DONTWAIT) <= 0) break;
    }
    wsock::closesocket(sock);
}

}  // namespace

void CSignalServerDlg::ServeLoop() {
    // This run serves, and at its end closes, the socket of the start that began it.
    const SOCKET sockListen = m_sockListen;
    std::vector<char> buffer(kReceiveBufferSize);
    // Only this run sets the peer line, which is empty when it begins.
    std::string peerLine;
    while (m_bServerRunning) {
        int ready = wsock::select(sockListen, kAcceptWaitMicroseconds);
        if (ready == SOCKET_ERROR) std::this_thread::sleep_for(kFailurePause);
        if (ready != 1) continue;
        AppendTrace("select.\r\n");
        if (!m_bServerRunning) break;
        sockaddr_in peer{};
        SOCKET sockClient = wsock::accept(sockListen, &peer);
        if (sockClient == INVALID_SOCKET) {
            AppendTrace("accept error %d\r\n", wsock::WSAGetLastError());
            std::this_thread::sleep_for(kFailurePause);
            continue;
        }
        ServeConnection(sockClient, wsock::inet_ntoa(peer.sin_addr), buffer.data(), peerLine);
    }
    StopServing(sockListen);
}

void CSignalServerDlg::ServeConnection(SOCKET sockClient, const std::string& peerAddress,
                                       char* buffer, std::string& peerLine) {
    FrameAssembler assembler;
    std::string failure = ReceiveFrame(sockClient, buffer, assembler);
    if (!failure.empty()) {
        AppendTrace("from:%s   dropped (%zu bytes): %s\r\n", peerAddress.c_str(),
                    assembler.BytesHeld(), failure.c_str());
        wsock::closesocket(sockClient);
        return;
    }
    const Frame frame = assembler.GetFrame();
    const char* peer = peerAddress.c_str();
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
    // A unit reporting again leaves the line as it is: that spares a wait for the UI thread.
    if (peerLine != line) {
        peerLine = line;
        m_staticPeer.SetWindowText(line);
    }
    AppendTrace("--to:%s   Send : %02x %02x\r\n", peer, frame.lead, frame.state);
    const uint8_t reply[2] = {frame.lead, frame.state};
    // A unit that went away before the reply needs nothing more: the socket is closed anyway.
    (void)wsock::send(sockClient, reply, sizeof reply, 0);
    DrainAndClose(sockClient, buffer);
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
