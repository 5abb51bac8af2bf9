#pragma once

#include "mqtt/BrokerReader.h"
#include "mqtt/MqttPackets.h"
#include "platform/Winsock.h"

#include <chrono>
#include <string>
#include <vector>

namespace mqtt {

// One connection to a broker. Opening it waits until the broker answers the CONNECT (bounded,
// but for the system's name lookup); once open, nothing waits: packets queue until the socket
// takes them, and what arrived is read when the socket says so.
class BrokerConnection {
public:
    enum class Opened { kAccepted, kBadUserNameOrPassword, kRefused, kFailed, kWoken };

    BrokerConnection() = default;
    ~BrokerConnection() { Close(); }
    BrokerConnection(const BrokerConnection&) = delete;
    BrokerConnection& operator=(const BrokerConnection&) = delete;

    // Each step after the name lookup (connecting, the broker's answer) gets at most `limit`; a
    // wake socket that becomes readable gives up at once.
    Opened Open(const std::string& host, uint16_t port, const ConnectRequest& request,
                std::chrono::milliseconds limit, wsock::Socket wake);
    // Why the last open or transfer failed: a Windows Sockets number, or the CONNACK return code
    // of a refusal; 0 when the broker broke the protocol or closed the connection.
    int Error() const { return m_error; }
    bool IsOpen() const { return m_sock != wsock::kInvalidSocket; }
    wsock::Socket Socket() const { return m_sock; }
    void Close();

    void Queue(const std::string& packet) { m_output.append(packet); }
    bool HasOutput() const { return m_sent < m_output.size(); }
    // Sends what the socket takes now; false when the connection is lost.
    bool Flush();
    // Reads what has arrived; false when the connection is lost or the broker broke the protocol.
    bool Receive(std::vector<BrokerPacket>& packets);

private:
    Opened Abandon(int error, Opened outcome = Opened::kFailed);
    bool Lost(int error);

    wsock::Socket m_sock = wsock::kInvalidSocket;
    BrokerReader m_reader;
    std::string m_output;
    size_t m_sent = 0;
    int m_error = 0;
};

}  // namespace mqtt
