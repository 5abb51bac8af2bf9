#include "mqtt/BrokerConnection.h"

#include "mqtt/PollTime.h"

namespace mqtt {
namespace {

constexpr size_t kReceiveChunk = 4096;

}  // namespace

BrokerConnection::Opened BrokerConnection::Open(const std::string& host, uint16_t port,
                                                const ConnectRequest& request,
                                                std::chrono::milliseconds limit,
                                                wsock::Socket wake) {
    Close();
    uint32_t address = 0;
    if (!wsock::ResolveHost(host, &address)) return Abandon(wsock::WSAGetLastError());
    m_sock = wsock::connect(address, port, static_cast<int>(limit.count()), wake);
    if (m_sock == wsock::kInvalidSocket) {
        const int error = wsock::WSAGetLastError();
        return Abandon(error, error == wsock::kErrorInterrupted ? Opened::kWoken : Opened::kFailed);
    }
    m_reader = BrokerReader();
    Queue(EncodeConnect(request));
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<BrokerPacket> packets;
    while (packets.empty()) {
        if (!Flush()) return Opened::kFailed;
        wsock::PollEntry entries[] = {{m_sock, false, HasOutput()}, {wake}};
        const int ready = wsock::WSAPoll(entries, 2, PollMillisecondsUntil(deadline));
        if (ready == 0) return Abandon(wsock::kErrorTimedOut);
        if (ready == wsock::kSocketError) return Abandon(wsock::WSAGetLastError());
        if (entries[1].readable) return Abandon(0, Opened::kWoken);
        // A broker that refuses closes the connection right after its answer.
        if (entries[0].readable && !Receive(packets) && packets.empty()) return Opened::kFailed;
    }
    // A broker answers a CONNECT first, with CONNACK.
    if (packets.front().kind != BrokerPacket::kConnAck) return Abandon(0);
    const uint8_t code = packets.front().returnCode;
    if (code == kAccepted) return Opened::kAccepted;
    const bool credentials = code == kRefusedBadUserNameOrPassword || code == kRefusedNotAuthorized;
    return Abandon(code, credentials ? Opened::kBadUserNameOrPassword : Opened::kRefused);
}

void BrokerConnection::Close() {
    if (m_sock != wsock::kInvalidSocket) wsock::closesocket(m_sock);
    m_sock = wsock::kInvalidSocket;
    m_output.clear();
    m_sent = 0;
}

bool BrokerConnection::Flush() {
    while (HasOutput()) {
        const int sent = wsock::send(m_sock, m_output.data() + m_sent, m_output.size() - m_sent);
        if (sent == wsock::kSocketError) {
            if (wsock::WSAGetLastError() == wsock::kErrorWouldBlock) break;
            return Lost(wsock::WSAGetLastError());
        }
        m_sent += static_cast<size_t>(sent);
    }
    // What went out is forgotten once it outweighs what waits, so that copying stays cheap.
    if (m_sent > m_output.size() / 2) {
        m_output.erase(0, m_sent);
        m_sent = 0;
    }
    return true;
}

bool BrokerConnection::Receive(std::vector<BrokerPacket>& packets) {
    char buffer[kReceiveChunk];
    for (;;) {
        const int received = wsock::recv(m_sock, buffer, sizeof buffer);
        if (received == 0) return Lost(0);
        if (received == wsock::kSocketError) {
            if (wsock::WSAGetLastError() == wsock::kErrorWouldBlock) return true;
            return Lost(wsock::WSAGetLastError());
        }
        if (!m_reader.Feed(std::string_view(buffer, static_cast<size_t>(received)), packets)) {
            return Lost(0);
        }
    }
}

BrokerConnection::Opened BrokerConnection::Abandon(int error, Opened outcome) {
    m_error = error;
    Close();
    return outcome;
}

bool BrokerConnection::Lost(int error) {
    Abandon(error);
    return false;
}

}  // namespace mqtt
