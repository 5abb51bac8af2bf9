#pragma once

// Windows Sockets for as long as this lives (WSAStartup and WSACleanup): the application makes
// one before its first socket. Other systems need nothing.
class SocketSession {
public:
    SocketSession();
    ~SocketSession();
    SocketSession(const SocketSession&) = delete;
    SocketSession& operator=(const SocketSession&) = delete;

    // 0 when sockets can be used, else the error the start gave.
    int Error() const { return m_error; }

private:
    int m_error = 0;
};
